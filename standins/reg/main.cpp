// reg.exe: the command-line registry tool, over the registry store the system uses.
//   reg.exe add KEY /v NAME [/t REG_SZ|REG_DWORD] [/d DATA] [/f]
//   reg.exe query KEY [/v NAME]
//   reg.exe delete KEY [/v NAME] [/f]
// KEY starts with HKLM, HKCU, HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER. Exit code 0 on success,
// 1 on failure.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "core/Text.h"
#include "platform/RegistryStore.h"

namespace {

using namespace vtl;
using platform::RegistryValue;
using platform::RootKey;

constexpr const char* kNotFound =
    "ERROR: The system was unable to find the specified registry key or value.";
constexpr const char* kDone = "The operation completed successfully.";

// A failure with its message; ends the program with exit code 1.
struct Failure {
    std::string message;
};

// A failure with the hint to the usage of the operation ("" for the tool as a whole).
Failure usageError(const std::string& problem, const std::string& operation = "") {
    const std::string command = operation.empty() ? "REG" : "REG " + text::upper(operation);
    return {"ERROR: " + problem + "\nType \"" + command + " /?\" for usage."};
}

Failure syntaxError(const std::string& operation) {
    return usageError("Invalid syntax.", operation);
}

struct Command {
    std::string operation;
    RootKey root = 0;
    std::string path;     // below the root, without leading or trailing "\"
    std::string keyName;  // the key as printed: the root's full name and the path
    std::optional<std::string> valueName;
    std::optional<std::string> type;
    std::optional<std::string> data;
    bool force = false;
};

void parseKey(Command& c, const std::string& key) {
    std::string root = key.substr(0, key.find('\\'));
    if (text::iequals(root, "HKLM") || text::iequals(root, "HKEY_LOCAL_MACHINE")) {
        c.root = platform::kLocalMachine;
    } else if (text::iequals(root, "HKCU") || text::iequals(root, "HKEY_CURRENT_USER")) {
        c.root = platform::kCurrentUser;
    } else {
        throw usageError("Invalid key name.", c.operation);
    }
    std::vector<std::string> parts;
    for (const std::string& part : text::split(key, '\\')) {
        if (!part.empty()) parts.push_back(part);
    }
    parts.erase(parts.begin());
    c.path = text::join(parts, "\\");
    c.keyName = platform::rootName(c.root) + (c.path.empty() ? "" : "\\" + c.path);
}

Command parse(const std::vector<std::string>& args) {
    if (args.empty()) throw usageError("Invalid syntax.");
    Command c;
    c.operation = text::lower(args[0]);
    if (c.operation != "add" && c.operation != "query" && c.operation != "delete") {
        throw usageError("Invalid syntax.");
    }
    if (args.size() < 2) throw syntaxError(c.operation);
    parseKey(c, args[1]);
    for (size_t i = 2; i < args.size(); ++i) {
        std::string option = text::lower(args[i]);
        auto operand = [&]() {
            if (i + 1 >= args.size()) throw syntaxError(c.operation);
            return args[++i];
        };
        if (option == "/v" && !c.valueName) {
            c.valueName = operand();
        } else if (option == "/t" && !c.type && c.operation == "add") {
            c.type = text::upper(operand());
        } else if (option == "/d" && !c.data && c.operation == "add") {
            c.data = operand();
        } else if (option == "/f" && !c.force && c.operation != "query") {
            c.force = true;
        } else {
            throw syntaxError(c.operation);
        }
    }
    if (c.operation == "add" && !c.valueName) throw syntaxError(c.operation);
    return c;
}

// Asks the user as the real tool does when /f is not given.
bool confirm(const std::string& question) {
    std::cout << question << " " << std::flush;
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    answer = text::trimSpace(answer);
    return !answer.empty() && (answer[0] == 'y' || answer[0] == 'Y');
}

std::optional<uint32_t> parseDword(std::string s) {
    int base = 10;
    if (text::istartsWith(s, "0x")) {
        s = s.substr(2);
        base = 16;
    }
    uint32_t value = 0;
    auto result = std::from_chars(s.data(), s.data() + s.size(), value, base);
    if (s.empty() || result.ec != std::errc() || result.ptr != s.data() + s.size()) return {};
    return value;
}

RegistryValue newValue(const Command& c) {
    std::string type = c.type.value_or("REG_SZ");
    std::string data = c.data.value_or("");
    if (type == "REG_SZ") return platform::stringValue(data);
    if (type != "REG_DWORD") throw Failure{"ERROR: Unsupported value type: " + type + "."};
    std::optional<uint32_t> number = parseDword(data);
    if (!number) throw Failure{"ERROR: Invalid syntax. Specify valid numeric value."};
    return platform::dwordValue(*number);
}

int add(const Command& c) {
    RegistryValue value = newValue(c);
    auto& reg = platform::registry();
    if (!c.force && reg.queryValue(c.root, c.path, *c.valueName) &&
        !confirm("Value " + *c.valueName + " exists, overwrite(Yes/No)?")) {
        std::cout << "The operation was cancelled by the user.\n";
        return 0;
    }
    if (!reg.createKey(c.root, c.path) || !reg.setValue(c.root, c.path, *c.valueName, value)) {
        throw Failure{"ERROR: The registry store could not be written."};
    }
    std::cout << kDone << "\n";
    return 0;
}

std::string typeName(uint32_t type) {
    static const char* const names[] = {"REG_NONE",
                                        "REG_SZ",
                                        "REG_EXPAND_SZ",
                                        "REG_BINARY",
                                        "REG_DWORD",
                                        "REG_DWORD_BIG_ENDIAN",
                                        "REG_LINK",
                                        "REG_MULTI_SZ",
                                        "REG_RESOURCE_LIST",
                                        "REG_FULL_RESOURCE_DESCRIPTOR",
                                        "REG_RESOURCE_REQUIREMENTS_LIST",
                                        "REG_QWORD"};
    return type < std::size(names) ? names[type] : "REG_UNKNOWN(" + std::to_string(type) + ")";
}

// The data as the real tool prints it: texts as they are (the strings of a multi-string joined
// by "\0"), numbers in hex, anything else as hex bytes.
std::string dataText(const RegistryValue& v) {
    std::string s(v.data.begin(), v.data.end());
    char buffer[16];
    switch (v.type) {
        case platform::regtype::String:
        case platform::regtype::ExpandString:
            return s.substr(0, s.find('\0'));
        case platform::regtype::MultiString: {
            std::vector<std::string> parts =
                text::split(s.substr(0, s.find(std::string(2, '\0'))), '\0');
            return text::join(parts, "\\0");
        }
        case platform::regtype::Dword:
            if (std::optional<uint32_t> n = platform::dwordData(v)) {
                std::snprintf(buffer, sizeof buffer, "0x%x", *n);
                return buffer;
            }
            break;
        default:
            break;
    }
    std::string hex;
    for (uint8_t byte : v.data) {
        std::snprintf(buffer, sizeof buffer, "%02X", byte);
        hex += buffer;
    }
    return hex;
}

void printValue(const std::string& name, const RegistryValue& v) {
    std::cout << "    " << (name.empty() ? "(Default)" : name) << "    " << typeName(v.type)
              << "    " << dataText(v) << "\n";
}

int query(const Command& c) {
    auto& reg = platform::registry();
    if (!reg.keyExists(c.root, c.path)) throw Failure{kNotFound};
    if (c.valueName) {
        std::optional<RegistryValue> value = reg.queryValue(c.root, c.path, *c.valueName);
        if (!value) throw Failure{kNotFound};
        std::cout << "\n" << c.keyName << "\n";
        printValue(*c.valueName, *value);
        std::cout << "\n";
        return 0;
    }
    std::cout << "\n";
    if (reg.enumValue(c.root, c.path, 0)) {
        std::cout << c.keyName << "\n";
        for (uint32_t i = 0; auto value = reg.enumValue(c.root, c.path, i); ++i) {
            printValue(value->first, value->second);
        }
        std::cout << "\n";
    }
    for (uint32_t i = 0; auto name = reg.enumSubKey(c.root, c.path, i); ++i) {
        std::cout << c.keyName << "\\" << *name << "\n";
    }
    return 0;
}

int deleteEntry(const Command& c) {
    auto& reg = platform::registry();
    if (!c.valueName && c.path.empty()) throw Failure{"ERROR: Invalid key name."};
    bool found = c.valueName ? reg.queryValue(c.root, c.path, *c.valueName).has_value()
                             : reg.keyExists(c.root, c.path);
    if (!found) throw Failure{kNotFound};
    std::string question = c.valueName
                               ? "Delete the registry value " + *c.valueName + " (Yes/No)?"
                               : "Permanently delete the registry key " + c.keyName + " (Yes/No)?";
    if (!c.force && !confirm(question)) {
        std::cout << "The operation was cancelled by the user.\n";
        return 0;
    }
    bool deleted =
        c.valueName ? reg.deleteValue(c.root, c.path, *c.valueName) : reg.deleteKey(c.root, c.path);
    if (!deleted) throw Failure{"ERROR: The registry store could not be written."};
    std::cout << kDone << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Command c = parse(std::vector<std::string>(argv + 1, argv + argc));
        if (c.operation == "add") return add(c);
        if (c.operation == "query") return query(c);
        return deleteEntry(c);
    } catch (const Failure& f) {
        std::cerr << f.message << "\n";
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "ERROR: " << e.what() << "\n";
        return 1;
    }
}
