#include "platform/RegistryStore.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <iterator>
#include <map>
#include <type_traits>

#include "core/Environment.h"
#include "core/Text.h"
#include "platform/AtomicFile.h"

namespace vtl::platform {

namespace fs = std::filesystem;

namespace {

// The store's text form, one section per key:
//   [HKEY_CURRENT_USER\Software\Vistrel]
//   "name"=sz:"text"            a string value: the text and its terminating NUL
//   "count"=dword:0000000c      a 32-bit number
//   @=hex(3):01,02,03           any other data, with its type code; @ is the default value
// In quoted texts \\, \" and \xHH (control characters) are escaped.
constexpr const char* kStoreName = "registry.txt";
constexpr const char* kLockName = "registry.lock";
constexpr const char* kStoreHeader =
    "; Registry of the stand-ins, shared by all their processes. One [key] per section, its\n"
    "; values below it: \"name\"=sz:\"text\" | dword:0000000c | hex(type):01,02. @ is the default "
    "value.\n";

using NamedValue = std::pair<std::string, RegistryValue>;

struct StoredKey {
    std::string path;  // full path from the root's name, in the case it was created with
    std::vector<NamedValue> values;
};

// Keys by their lower-case full path, so that a key's sub-keys follow it in a stable order.
using Tree = std::map<std::string, StoredKey>;

const RootKey kRoots[] = {kCurrentUser, kLocalMachine};

std::string escape(std::string_view s) {
    std::string out;
    for (char c : s) {
        auto u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<uint32_t> parseHex(std::string_view s) {
    uint32_t value = 0;
    auto result = std::from_chars(s.data(), s.data() + s.size(), value, 16);
    if (s.empty() || result.ec != std::errc() || result.ptr != s.data() + s.size()) return {};
    return value;
}

// Takes a quoted, escaped text from the front of the input.
std::optional<std::string> takeQuoted(std::string_view& in) {
    if (!in.starts_with('"')) return {};
    std::string out;
    for (size_t i = 1; i < in.size(); ++i) {
        if (in[i] == '"') {
            in.remove_prefix(i + 1);
            return out;
        }
        if (in[i] != '\\') {
            out += in[i];
        } else if (i + 1 < in.size() && (in[i + 1] == '\\' || in[i + 1] == '"')) {
            out += in[++i];
        } else if (i + 3 < in.size() && in[i + 1] == 'x') {
            std::optional<uint32_t> code = parseHex(in.substr(i + 2, 2));
            if (!code) return {};
            out += static_cast<char>(*code);
            i += 3;
        } else {
            return {};
        }
    }
    return {};
}

bool isPlainString(const RegistryValue& v) {
    return v.type == regtype::String && !v.data.empty() && v.data.back() == 0 &&
           std::find(v.data.begin(), v.data.end(), 0) == v.data.end() - 1;
}

std::string formatData(const RegistryValue& v) {
    char buffer[16];
    if (isPlainString(v)) {
        return "sz:\"" + escape(std::string(v.data.begin(), v.data.end() - 1)) + "\"";
    }
    if (std::optional<uint32_t> n = dwordData(v); n && v.type == regtype::Dword) {
        std::snprintf(buffer, sizeof buffer, "%08x", *n);
        return std::string("dword:") + buffer;
    }
    std::snprintf(buffer, sizeof buffer, "hex(%x):", v.type);
    std::string out = buffer;
    for (size_t i = 0; i < v.data.size(); ++i) {
        std::snprintf(buffer, sizeof buffer, i == 0 ? "%02x" : ",%02x", v.data[i]);
        out += buffer;
    }
    return out;
}

std::optional<RegistryValue> parseData(std::string_view s) {
    if (s.starts_with("sz:")) {
        s.remove_prefix(3);
        std::optional<std::string> text = takeQuoted(s);
        if (!text || !s.empty()) return {};
        return stringValue(*text);
    }
    if (s.starts_with("dword:")) {
        std::optional<uint32_t> n = parseHex(s.substr(6));
        if (!n) return {};
        return dwordValue(*n);
    }
    size_t close = s.find("):");
    if (!s.starts_with("hex(") || close == s.npos) return {};
    std::optional<uint32_t> type = parseHex(s.substr(4, close - 4));
    if (!type) return {};
    RegistryValue v{*type, {}};
    std::string_view bytes = s.substr(close + 2);
    if (bytes.empty()) return v;
    for (const std::string& part : text::split(bytes, ',')) {
        std::optional<uint32_t> byte = parseHex(part);
        if (!byte || *byte > 0xff) return {};
        v.data.push_back(static_cast<uint8_t>(*byte));
    }
    return v;
}

std::optional<NamedValue> parseValueLine(std::string_view line) {
    std::string name;
    if (line.starts_with('@')) {
        line.remove_prefix(1);
    } else if (std::optional<std::string> quoted = takeQuoted(line)) {
        name = *quoted;
    } else {
        return {};
    }
    if (!line.starts_with('=')) return {};
    std::optional<RegistryValue> value = parseData(line.substr(1));
    if (!value) return {};
    return NamedValue{name, *value};
}

std::string formatValueLine(const NamedValue& v) {
    std::string name = v.first.empty() ? "@" : "\"" + escape(v.first) + "\"";
    return name + "=" + formatData(v.second) + "\n";
}

// Adds a key and every missing key above it.
StoredKey& addKey(Tree& tree, const std::string& path) {
    for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 1)) {
        tree.try_emplace(text::lower(path.substr(0, at)), StoredKey{path.substr(0, at), {}});
    }
    return tree.try_emplace(text::lower(path), StoredKey{path, {}}).first->second;
}

bool isRootPath(std::string_view path) {
    std::string_view root = path.substr(0, path.find('\\'));
    return std::any_of(std::begin(kRoots), std::end(kRoots),
                       [&](RootKey key) { return text::iequals(root, rootName(key)); });
}

std::optional<Tree> parseStore(std::string_view content) {
    Tree tree;
    StoredKey* current = nullptr;
    for (std::string& line : text::split(content, '\n')) {
        if (line.ends_with('\r')) line.pop_back();
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[' && line.back() == ']') {
            std::string path = line.substr(1, line.size() - 2);
            if (!isRootPath(path)) return {};
            current = &addKey(tree, path);
        } else if (std::optional<NamedValue> value = parseValueLine(line); value && current) {
            current->values.push_back(std::move(*value));
        } else {
            return {};
        }
    }
    for (RootKey root : kRoots) addKey(tree, rootName(root));
    return tree;
}

std::string formatStore(const Tree& tree) {
    std::string out = kStoreHeader;
    for (const auto& [lowerPath, key] : tree) {
        out += "\n[" + key.path + "]\n";
        for (const NamedValue& value : key.values) out += formatValueLine(value);
    }
    return out;
}

std::optional<Tree> loadStore(const fs::path& file) {
    std::optional<std::string> content = readWholeFile(file);
    if (content) return parseStore(*content);
    std::error_code ec;
    if (fs::exists(file, ec) || ec) return {};
    return parseStore("");
}

// The full path of a key from its root's name; nullopt for an unknown root or a name with
// control characters.
std::optional<std::string> fullPath(RootKey root, std::string_view path) {
    std::string full = rootName(root);
    if (full.empty()) return {};
    for (const std::string& part : text::split(path, '\\')) {
        if (part.empty()) continue;
        for (char c : part) {
            if (static_cast<unsigned char>(c) < 0x20) return {};
        }
        full += "\\" + part;
    }
    return full;
}

StoredKey* findKey(Tree& tree, RootKey root, std::string_view path) {
    std::optional<std::string> full = fullPath(root, path);
    auto it = full ? tree.find(text::lower(*full)) : tree.end();
    return it == tree.end() ? nullptr : &it->second;
}

std::vector<NamedValue>::iterator findValue(StoredKey& key, std::string_view name) {
    return std::find_if(key.values.begin(), key.values.end(),
                        [&](const NamedValue& v) { return text::iequals(v.first, name); });
}

std::vector<std::string> subKeyNames(const Tree& tree, const StoredKey& key) {
    std::string prefix = text::lower(key.path) + "\\";
    std::vector<std::string> names;
    for (auto it = tree.lower_bound(prefix); it != tree.end() && it->first.starts_with(prefix);
         ++it) {
        if (it->first.find('\\', prefix.size()) == std::string::npos) {
            names.push_back(it->second.path.substr(prefix.size()));
        }
    }
    return names;
}

// Runs a query on the store under a shared lock; an empty result when the store is unreadable.
template <class Query>
auto readStore(Query&& query) -> std::invoke_result_t<Query, Tree&> {
    fs::path file = FileRegistry::storeFile();
    FileLock lock(file.parent_path() / kLockName, FileLock::Mode::Shared);
    std::optional<Tree> tree = lock.held() ? loadStore(file) : std::nullopt;
    if (!tree) return {};
    return query(*tree);
}

// Changes the store under an exclusive lock; the change answers false when it does not apply.
template <class Change>
bool changeStore(Change&& change) {
    fs::path file = FileRegistry::storeFile();
    FileLock lock(file.parent_path() / kLockName, FileLock::Mode::Exclusive);
    std::optional<Tree> tree = lock.held() ? loadStore(file) : std::nullopt;
    if (!tree || !change(*tree)) return false;
    return replaceFileContents(file, formatStore(*tree));
}

}  // namespace

RegistryValue stringValue(std::string_view text) {
    RegistryValue v{regtype::String, std::vector<uint8_t>(text.begin(), text.end())};
    v.data.push_back(0);
    return v;
}

RegistryValue dwordValue(uint32_t number) {
    return {regtype::Dword,
            {static_cast<uint8_t>(number), static_cast<uint8_t>(number >> 8),
             static_cast<uint8_t>(number >> 16), static_cast<uint8_t>(number >> 24)}};
}

std::optional<uint32_t> dwordData(const RegistryValue& value) {
    const std::vector<uint8_t>& d = value.data;
    if (d.size() != 4) return std::nullopt;
    return d[0] | d[1] << 8 | d[2] << 16 | uint32_t(d[3]) << 24;
}

std::string rootName(RootKey root) {
    switch (root) {
        case kCurrentUser:
            return "HKEY_CURRENT_USER";
        case kLocalMachine:
            return "HKEY_LOCAL_MACHINE";
        default:
            return "";
    }
}

fs::path FileRegistry::storeFile() {
    return env::platformHome() / kStoreName;
}

std::unique_ptr<RegistryBackend> FileRegistry::connectRemote(const std::string&) {
    return nullptr;  // no other computer is reachable from here
}

bool FileRegistry::keyExists(RootKey root, std::string_view path) {
    return readStore([&](Tree& tree) { return findKey(tree, root, path) != nullptr; });
}

bool FileRegistry::createKey(RootKey root, std::string_view path) {
    std::optional<std::string> full = fullPath(root, path);
    return full && changeStore([&](Tree& tree) {
               addKey(tree, *full);
               return true;
           });
}

std::optional<RegistryValue> FileRegistry::queryValue(RootKey root, std::string_view path,
                                                      std::string_view name) {
    return readStore([&](Tree& tree) -> std::optional<RegistryValue> {
        StoredKey* key = findKey(tree, root, path);
        if (!key) return {};
        auto value = findValue(*key, name);
        if (value == key->values.end()) return {};
        return value->second;
    });
}

bool FileRegistry::setValue(RootKey root, std::string_view path, std::string_view name,
                            const RegistryValue& value) {
    return changeStore([&](Tree& tree) {
        StoredKey* key = findKey(tree, root, path);
        if (!key) return false;
        auto existing = findValue(*key, name);
        if (existing != key->values.end()) {
            existing->second = value;  // the value keeps the spelling of its name
        } else {
            key->values.emplace_back(std::string(name), value);
        }
        return true;
    });
}

std::optional<std::string> FileRegistry::enumSubKey(RootKey root, std::string_view path,
                                                    uint32_t index) {
    return readStore([&](Tree& tree) -> std::optional<std::string> {
        StoredKey* key = findKey(tree, root, path);
        if (!key) return {};
        std::vector<std::string> names = subKeyNames(tree, *key);
        if (index >= names.size()) return {};
        return names[index];
    });
}

std::optional<std::pair<std::string, RegistryValue>> FileRegistry::enumValue(RootKey root,
                                                                             std::string_view path,
                                                                             uint32_t index) {
    return readStore([&](Tree& tree) -> std::optional<NamedValue> {
        StoredKey* key = findKey(tree, root, path);
        if (!key || index >= key->values.size()) return {};
        return key->values[index];
    });
}

bool FileRegistry::deleteValue(RootKey root, std::string_view path, std::string_view name) {
    return changeStore([&](Tree& tree) {
        StoredKey* key = findKey(tree, root, path);
        if (!key) return false;
        auto value = findValue(*key, name);
        if (value == key->values.end()) return false;
        key->values.erase(value);
        return true;
    });
}

bool FileRegistry::deleteKey(RootKey root, std::string_view path) {
    return changeStore([&](Tree& tree) {
        StoredKey* key = findKey(tree, root, path);
        if (!key || key->path.find('\\') == std::string::npos) return false;
        std::string lowerPath = text::lower(key->path);
        std::string prefix = lowerPath + "\\";
        for (auto it = tree.lower_bound(prefix);
             it != tree.end() && it->first.starts_with(prefix);) {
            it = tree.erase(it);
        }
        tree.erase(lowerPath);
        return true;
    });
}

RegistryBackend& registry() {
    static FileRegistry local;
    return local;
}

}  // namespace vtl::platform
