// A stand-in for the platform's command interpreter: "cmd.exe /c COMMAND" runs one command
// line, or the lines of the batch file it names, and exits with the command's exit code.
#include <string>
#include <vector>

#include "CommandLine.h"
#include "Console.h"
#include "Interpreter.h"
#include "core/Text.h"

int main(int argc, char** argv) {
    using namespace vtl;
    if (argc < 2 || !text::iequals(argv[1], "/c")) {
        cmd::complain("Usage: cmd.exe /c COMMAND");
        return 1;
    }
    const std::vector<std::string> command(argv + 2, argv + argc);
    return cmd::runLine(cmd::joinArguments(command));
}
