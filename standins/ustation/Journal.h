// The stand-in's append-only journal of every key-in and member call it received, so tests can
// check exact key-in sequences. Unknown key-ins are marked.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace vtl::ustation {

class Journal {
public:
    // The journal in the platform home: ustation-journal.log.
    static std::string defaultPath();
    explicit Journal(std::string path = defaultPath());
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    void call(const std::string& member, const std::string& arguments);
    // Several calls received at once, each with its arguments, in one write.
    void calls(const std::vector<std::pair<std::string, std::string>>& received);
    void keyin(const std::string& keyin);
    void unknownKeyin(const std::string& keyin);
    // A macro the stand-in does not run because it holds a statement it does not know.
    void unknownMacroStatement(const std::string& macro, int line, const std::string& statement);
    void note(const std::string& text);

private:
    void append(const std::string& line);
    std::string prefix() const;
    void write(const std::string& lines);
    std::string path_;
    int pid_;
    int fd_ = -1;
};

}  // namespace vtl::ustation
