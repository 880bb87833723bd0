#include "Builtins.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>

#include "Console.h"
#include "core/Text.h"
#include "core/Wildcard.h"

namespace vtl::cmd {

namespace fs = std::filesystem;

namespace {

// --- Arguments --------------------------------------------------------------------------------

constexpr size_t kAnyNumber = std::numeric_limits<size_t>::max();

struct Arguments {
    std::string switches;  // the letters of the switches given, lower case
    std::vector<std::string> names;
};

// "/y", "/-y": a slash and one letter. A longer word is a path, and so is a quoted one.
bool isSwitch(const Word& w) {
    const std::string& s = w.text;
    if (w.quoted || s.empty() || s[0] != '/') return false;
    if (s.size() == 2) return std::isalpha(static_cast<unsigned char>(s[1]));
    return s.size() == 3 && s[1] == '-' && std::isalpha(static_cast<unsigned char>(s[2]));
}

// Splits switches from names; false (after saying so) for a switch the command does not know.
bool splitArguments(const std::vector<Word>& words, const std::string& allowed, Arguments& out) {
    for (const Word& w : words) {
        if (!isSwitch(w)) {
            out.names.push_back(w.text);
            continue;
        }
        char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(w.text.back())));
        if (allowed.find(letter) == std::string::npos) {
            complain("Invalid switch - " + w.text.substr(1));
            return false;
        }
        out.switches += letter;
    }
    return true;
}

// Splits the words and checks that one to maxNames names are given; false (after saying what is
// wrong) otherwise.
bool takeArguments(const std::vector<Word>& words, const std::string& allowed, size_t maxNames,
                   Arguments& out) {
    if (!splitArguments(words, allowed, out)) return false;
    if (out.names.empty() || out.names.size() > maxNames) {
        complain(kSyntaxError);
        return false;
    }
    return true;
}

// --- Files ------------------------------------------------------------------------------------

// The files a name stands for: a folder stands for all its files, a name with wildcards for
// the matching files of its folder, any other name for itself when it exists.
struct Selection {
    bool wildcard = false;
    std::vector<fs::path> files;
};

Selection select(const std::string& name) {
    Selection sel;
    fs::path path(name);
    std::error_code ec;
    fs::path folder;
    std::string pattern;
    if (fs::is_directory(path, ec)) {
        folder = path;
        pattern = "*";
    } else if (wildcard::hasWildcards(path.filename().string())) {
        folder = path.parent_path();
        pattern = path.filename().string();
    } else {
        if (fs::symlink_status(path, ec).type() != fs::file_type::not_found) {
            sel.files.push_back(path);
        }
        return sel;
    }
    sel.wildcard = true;
    for (const std::string& n : wildcard::list(folder.empty() ? fs::path(".") : folder, pattern)) {
        sel.files.push_back(folder / n);
    }
    return sel;
}

std::string fullPath(const fs::path& path) {
    std::error_code ec;
    fs::path full = fs::absolute(path, ec);
    return (ec ? path : full).lexically_normal().string();
}

// A file nobody may write to counts as read-only (the owner's write permission is the
// attribute; even a privileged user respects it here).
bool isReadOnly(const fs::path& file) {
    std::error_code ec;
    fs::file_status status = fs::status(file, ec);
    return !ec && (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// --- copy -------------------------------------------------------------------------------------

int copied(int count, int exitCode) {
    char line[64];
    std::snprintf(line, sizeof line, "%9d file(s) copied.", count);
    say(line);
    return exitCode;
}

// What is wrong with a destination, "" when nothing is.
std::string destinationProblem(const fs::path& dest, size_t sourceCount) {
    std::error_code ec;
    if (wildcard::hasWildcards(dest.string())) {
        return "The filename, directory name, or volume label syntax is incorrect.";
    }
    if (fs::is_directory(dest, ec)) return "";
    if (!dest.has_filename() ||
        (dest.has_parent_path() && !fs::is_directory(dest.parent_path(), ec))) {
        return kPathNotFound;
    }
    if (sourceCount > 1) {
        return "Several files cannot be copied onto the one file " + dest.string() + ".";
    }
    return "";
}

bool copyOne(const fs::path& source, const fs::path& target) {
    std::error_code ec;
    if (fs::exists(target, ec)) {
        if (fs::equivalent(source, target, ec)) {
            complain("The file cannot be copied onto itself.");
            return false;
        }
        if (isReadOnly(target)) {
            complain(kAccessDenied);
            return false;
        }
    }
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        complain(messageFor(ec.value()));
        return false;
    }
    // A copy keeps the time its source was last written.
    fs::file_time_type written = fs::last_write_time(source, ec);
    if (!ec) fs::last_write_time(target, written, ec);
    return true;
}

int copyCommand(const std::vector<Word>& words) {
    Arguments args;
    if (!takeArguments(words, "ybav", 2, args)) return 1;
    Selection sel = select(args.names[0]);
    if (sel.files.empty()) {
        complain(kFileNotFound);
        return copied(0, 1);
    }
    fs::path dest = args.names.size() == 2 ? fs::path(args.names[1]) : fs::path(".");
    if (std::string problem = destinationProblem(dest, sel.files.size()); !problem.empty()) {
        complain(problem);
        return copied(0, 1);
    }
    std::error_code ec;
    const bool intoFolder = fs::is_directory(dest, ec);
    int count = 0;
    for (const fs::path& file : sel.files) {
        if (sel.wildcard) say(file.string());
        if (copyOne(file, intoFolder ? dest / file.filename() : dest)) ++count;
    }
    return copied(count, count == static_cast<int>(sel.files.size()) ? 0 : 1);
}

// --- del --------------------------------------------------------------------------------------

bool deleteOne(const fs::path& file, bool force) {
    std::error_code ec;
    if (fs::is_directory(file, ec)) return true;  // del removes files only
    if (isReadOnly(file)) {
        if (!force) {
            complain(fullPath(file));
            complain(kAccessDenied);
            return false;
        }
        fs::permissions(file, fs::perms::owner_write, fs::perm_options::add, ec);
    }
    fs::remove(file, ec);
    if (ec) {
        complain(fullPath(file));
        complain(messageFor(ec.value()));
        return false;
    }
    return true;
}

// A folder stands for all its files: unless quiet, del asks before it deletes them.
bool mayDelete(const std::string& name, bool quiet) {
    std::error_code ec;
    if (quiet || !fs::is_directory(name, ec)) return true;
    return confirm((fs::path(fullPath(name)) / "*").string() + ", Are you sure");
}

int delCommand(const std::vector<Word>& words) {
    Arguments args;
    if (!takeArguments(words, "fq", kAnyNumber, args)) return 1;
    const bool force = args.switches.find('f') != std::string::npos;
    const bool quiet = args.switches.find('q') != std::string::npos;
    bool failed = false;
    for (const std::string& name : args.names) {
        if (!mayDelete(name, quiet)) continue;
        Selection sel = select(name);
        if (sel.files.empty()) {
            complain("Could Not Find " + fullPath(name));
            failed = true;
        }
        for (const fs::path& file : sel.files) failed = !deleteOne(file, force) || failed;
    }
    return failed ? 1 : 0;
}

// --- mkdir ------------------------------------------------------------------------------------

int mkdirCommand(const std::vector<Word>& words) {
    Arguments args;
    if (!takeArguments(words, "", kAnyNumber, args)) return 1;
    bool failed = false;
    for (const std::string& name : args.names) {
        std::error_code ec;
        if (fs::exists(name, ec)) {
            complain("A subdirectory or file " + name + " already exists.");
            failed = true;
        } else if (fs::create_directories(name, ec); ec) {
            complain(messageFor(ec.value()));
            failed = true;
        }
    }
    return failed ? 1 : 0;
}

// The interpreter shows no command lines, so "echo off" and "echo on" have nothing to switch;
// echo with any other text is left to the program of that name.
bool switchesEcho(const std::vector<Word>& words) {
    return words.size() == 1 && !words[0].quoted &&
           (text::iequals(words[0].text, "off") || text::iequals(words[0].text, "on"));
}

}  // namespace

std::optional<int> runBuiltin(const std::string& name, const std::vector<Word>& arguments) {
    const std::string command = text::lower(name);
    if (command == "echo" && switchesEcho(arguments)) return 0;
    if (command == "copy") return copyCommand(arguments);
    if (command == "del" || command == "erase") return delCommand(arguments);
    if (command == "mkdir" || command == "md") return mkdirCommand(arguments);
    return std::nullopt;
}

}  // namespace vtl::cmd
