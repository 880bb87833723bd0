// One command line split the way the command interpreter splits it: words grouped by double
// quotes (which are removed), and the redirections taken out of it.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vtl::cmd {

struct Word {
    std::string text;
    // Some part of it stood in double quotes: it is a name, never a switch.
    bool quoted = false;
};

struct Redirection {
    int fd = 1;           // 1 output, 2 error output
    bool append = false;  // ">>" rather than ">"
    int copyOf = -1;      // "2>&1": the descriptor to copy; target unused then
    std::string target;
};

struct CommandLine {
    std::vector<Word> words;
    // In the order written; later ones act on the result of earlier ones.
    std::vector<Redirection> redirections;
};

// A line the interpreter cannot run (a redirection without a target, a pipe).
class SyntaxError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

CommandLine parseLine(std::string_view line);

}  // namespace vtl::cmd
