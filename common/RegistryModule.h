// Registry access on this computer or on a named remote one. Every procedure swallows its
// failures and answers with an empty or false result; nothing is raised or recorded.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace vtl::RegistryModule {

inline constexpr uint32_t HKEY_CURRENT_USER = 0x80000001;
inline constexpr uint32_t HKEY_LOCAL_MACHINE = 0x80000002;

// A value as read: a string, the raw bytes of a binary value (element 0 is the first byte; the
// array of the original runtime counted them from 1) or a 32-bit number.
using RegData = std::variant<std::string, std::vector<uint8_t>, int32_t>;

// A value to write: a whole number in the 32-bit range, as a number or as a plain decimal text,
// is written as a 32-bit number, anything else as a string.
using RegInput = std::variant<std::string, int32_t, double>;

// The sub-key names as the runtime's array: items from index lowerBound on. A key without
// sub-keys gives { 0, {""} }; a key that cannot be read gives { -1, {""} }.
struct SubKeyList {
    int32_t lowerBound = -1;
    std::vector<std::string> items{""};
};

// computer: a machine name without leading backslashes; blank means this computer.
bool RegKeyExists(uint32_t rootKey, const std::string& keyPath, const std::string& computer);

// String-like values: with firstStringOnly the text up to its first NUL, else the whole data
// with every NUL made ";"; either trimmed of blanks. Failures and unknown types give "".
RegData RegGetValue(uint32_t rootKey, const std::string& keyPath, const std::string& valueName,
                    const std::string& computer, bool firstStringOnly);

// Creates the key when needed. Strings are written trimmed of blanks.
bool RegSetValue(uint32_t rootKey, const std::string& keyPath, const std::string& valueName,
                 const RegInput& value, const std::string& computer);

// A string value as stored, up to its first NUL and not trimmed, for values whose blanks are the
// value itself (a blank thousands separator). "" when missing, unreadable or not a string.
std::string RegGetUntrimmedString(uint32_t rootKey, const std::string& keyPath,
                                  const std::string& valueName, const std::string& computer);

// Writes a string value as it stands: neither trimmed nor taken for a number.
bool RegSetUntrimmedString(uint32_t rootKey, const std::string& keyPath,
                           const std::string& valueName, const std::string& value,
                           const std::string& computer);

// True when the key exists afterwards.
bool RegCreateKey(uint32_t rootKey, const std::string& keyPath, const std::string& computer);

SubKeyList RegGetSubKeys(uint32_t rootKey, const std::string& keyPath, const std::string& computer);

}  // namespace vtl::RegistryModule
