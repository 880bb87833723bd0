// A stand-in for the platform's command interpreter: "cmd.exe /c COMMAND" runs one command
// line, or the lines of the batch file it names, and exits with the command's exit code.
#include <string>
#include <vector>

#include "Console.h"
#include "Interpreter.h"
#include "core/Text.h"

int main(int argc, char** argv) {
    using namespace vtl;
    if (argc < 2 || !text::iequals(argv[1], "/c")) {
        cmd::complain("Usage: cmd.exe /c COMMAND");
        return 1;
    }
    // The command line after "/c" is the arguments joined by blanks as they are. Quotes that
    // group a path with blanks belong into the arguments themselves, as on the original
    // platform, where the command line is one text.
    const std::vector<std::string> command(argv + 2, argv + argc);
    return cmd::runLine(text::join(command, " "));
}
