// The registry as the system uses it: keys under the roots HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER, each holding named values of a Windows type code and raw data bytes.
// Key paths are "\"-separated and matched ignoring case; a key keeps the case it was created
// with. The empty path names the root itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vtl::platform {

using RootKey = uint32_t;
inline constexpr RootKey kCurrentUser = 0x80000001;
inline constexpr RootKey kLocalMachine = 0x80000002;

// Value type codes.
namespace regtype {
inline constexpr uint32_t None = 0;
inline constexpr uint32_t String = 1;
inline constexpr uint32_t ExpandString = 2;
inline constexpr uint32_t Binary = 3;
inline constexpr uint32_t Dword = 4;
inline constexpr uint32_t DwordBigEndian = 5;
inline constexpr uint32_t Link = 6;
inline constexpr uint32_t MultiString = 7;
}  // namespace regtype

// A value's type and its data exactly as stored: a string includes its terminating NUL, a
// 32-bit number is 4 bytes, least significant first.
struct RegistryValue {
    uint32_t type = regtype::None;
    std::vector<uint8_t> data;
    bool operator==(const RegistryValue&) const = default;
};

RegistryValue stringValue(std::string_view text);
RegistryValue dwordValue(uint32_t number);
// The 32-bit number of exactly 4 data bytes (least significant first), whatever the value's type;
// nothing for any other length.
std::optional<uint32_t> dwordData(const RegistryValue& value);

// The full name of a root ("HKEY_CURRENT_USER"), "" for a root this registry does not have.
std::string rootName(RootKey root);

class RegistryBackend {
  public:
    virtual ~RegistryBackend() = default;

    // The registry of another computer, nullptr when it cannot be reached.
    virtual std::unique_ptr<RegistryBackend> connectRemote(const std::string& computer) = 0;

    virtual bool keyExists(RootKey root, std::string_view path) = 0;
    // Creates the key and every missing key above it; true when the key exists afterwards.
    virtual bool createKey(RootKey root, std::string_view path) = 0;
    // The value of an existing key; an empty name is the key's default value.
    virtual std::optional<RegistryValue> queryValue(RootKey root, std::string_view path,
                                                    std::string_view name) = 0;
    // Writes a value into an existing key.
    virtual bool setValue(RootKey root, std::string_view path, std::string_view name,
                          const RegistryValue& value) = 0;
    // The sub-key at an index (0, 1, ... in a stable order), nullopt past the end or when the
    // key does not exist.
    virtual std::optional<std::string> enumSubKey(RootKey root, std::string_view path,
                                                  uint32_t index) = 0;
    // The value at an index with its name, in the order the values were created.
    virtual std::optional<std::pair<std::string, RegistryValue>> enumValue(RootKey root,
                                                                           std::string_view path,
                                                                           uint32_t index) = 0;
    virtual bool deleteValue(RootKey root, std::string_view path, std::string_view name) = 0;
    // Deletes a key with all its sub-keys; a root cannot be deleted.
    virtual bool deleteKey(RootKey root, std::string_view path) = 0;
};

// The registry of this machine: one text file in the platform home, shared by every process of
// the user. Each operation holds a lock file while it reads or changes the store and replaces
// the store as a whole, so concurrent writers never lose each other's values. A store that
// cannot be read (damaged by hand) fails every operation and is left untouched.
class FileRegistry : public RegistryBackend {
  public:
    std::unique_ptr<RegistryBackend> connectRemote(const std::string& computer) override;
    bool keyExists(RootKey root, std::string_view path) override;
    bool createKey(RootKey root, std::string_view path) override;
    std::optional<RegistryValue> queryValue(RootKey root, std::string_view path,
                                            std::string_view name) override;
    bool setValue(RootKey root, std::string_view path, std::string_view name,
                  const RegistryValue& value) override;
    std::optional<std::string> enumSubKey(RootKey root, std::string_view path,
                                          uint32_t index) override;
    std::optional<std::pair<std::string, RegistryValue>> enumValue(RootKey root,
                                                                   std::string_view path,
                                                                   uint32_t index) override;
    bool deleteValue(RootKey root, std::string_view path, std::string_view name) override;
    bool deleteKey(RootKey root, std::string_view path) override;

    // The store lives in the platform home of the moment of each call.
    static std::filesystem::path storeFile();
};

// The registry the system works with.
RegistryBackend& registry();

}  // namespace vtl::platform
