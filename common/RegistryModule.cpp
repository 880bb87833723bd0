#include "common/RegistryModule.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>

#include "core/Numbers.h"
#include "core/Text.h"
#include "platform/RegistryStore.h"

namespace vtl::RegistryModule {

namespace {

using platform::RegistryBackend;
using platform::RegistryValue;
namespace regtype = platform::regtype;

// The registry a call works on: this computer's for a blank name, else the remote one's, which
// the call owns. backend is null when the computer cannot be reached.
struct Registry {
    std::unique_ptr<RegistryBackend> remote;
    RegistryBackend* backend = nullptr;
};

Registry connect(const std::string& computer) {
    Registry r;
    std::string name = text::trim(computer);
    if (name.empty()) {
        r.backend = &platform::registry();
    } else {
        r.remote = platform::registry().connectRemote(name);
        r.backend = r.remote.get();
    }
    return r;
}

std::string stringData(const RegistryValue& v, bool firstStringOnly) {
    std::string data(v.data.begin(), v.data.end());
    if (firstStringOnly) return text::trim(data.substr(0, data.find('\0')));
    std::replace(data.begin(), data.end(), '\0', ';');
    return text::trim(data);
}

// A 32-bit value as stored, least significant byte first whatever its type says; missing bytes
// count as 0 and more than 4 bytes do not fit.
std::optional<int32_t> numberData(const RegistryValue& v) {
    if (v.data.size() > 4) return std::nullopt;
    uint32_t n = 0;
    for (size_t i = 0; i < v.data.size(); ++i) n |= uint32_t(v.data[i]) << (8 * i);
    return static_cast<int32_t>(n);
}

// String, expandable string, link, multi-string and the three resource list types (8 to 10).
bool isStringLike(uint32_t type) {
    constexpr uint32_t kLastResourceList = 10;
    return type == regtype::String || type == regtype::ExpandString ||
           (type >= regtype::Link && type <= kLastResourceList);
}

RegData convert(const RegistryValue& v, bool firstStringOnly) {
    if (isStringLike(v.type)) return stringData(v, firstStringOnly);
    if (v.type == regtype::Binary) return v.data;
    if (v.type == regtype::Dword || v.type == regtype::DwordBigEndian) {
        if (std::optional<int32_t> n = numberData(v)) return *n;
    }
    return std::string();
}

// Only a whole number in the 32-bit range becomes a 32-bit value: texts like "1.5", "1,000" or
// "1e3" would otherwise be stored rounded or changed, so they stay strings.
RegistryValue toRegistryValue(const RegInput& value) {
    if (const auto* n = std::get_if<int32_t>(&value)) return platform::dwordValue(uint32_t(*n));
    if (const auto* d = std::get_if<double>(&value)) {
        if (std::trunc(*d) == *d && *d >= std::numeric_limits<int32_t>::min() &&
            *d <= std::numeric_limits<int32_t>::max()) {
            return platform::dwordValue(uint32_t(static_cast<int32_t>(*d)));
        }
        return platform::stringValue(num::text(*d));
    }
    const std::string& s = std::get<std::string>(value);
    if (std::optional<int32_t> n = num::parseWhole32(s)) return platform::dwordValue(uint32_t(*n));
    return platform::stringValue(text::trim(s));
}

}  // namespace

bool RegKeyExists(uint32_t rootKey, const std::string& keyPath, const std::string& computer) {
    try {
        Registry r = connect(computer);
        return r.backend && r.backend->keyExists(rootKey, keyPath);
    } catch (...) {
        return false;
    }
}

RegData RegGetValue(uint32_t rootKey, const std::string& keyPath, const std::string& valueName,
                    const std::string& computer, bool firstStringOnly) {
    try {
        Registry r = connect(computer);
        std::optional<RegistryValue> v =
            r.backend ? r.backend->queryValue(rootKey, keyPath, valueName) : std::nullopt;
        return v ? convert(*v, firstStringOnly) : std::string();
    } catch (...) {
        return std::string();
    }
}

bool RegSetValue(uint32_t rootKey, const std::string& keyPath, const std::string& valueName,
                 const RegInput& value, const std::string& computer) {
    try {
        if (!RegCreateKey(rootKey, keyPath, computer)) return false;
        Registry r = connect(computer);
        return r.backend &&
               r.backend->setValue(rootKey, keyPath, valueName, toRegistryValue(value));
    } catch (...) {
        return false;
    }
}

std::string RegGetUntrimmedString(uint32_t rootKey, const std::string& keyPath,
                                  const std::string& valueName, const std::string& computer) {
    try {
        Registry r = connect(computer);
        std::optional<RegistryValue> v =
            r.backend ? r.backend->queryValue(rootKey, keyPath, valueName) : std::nullopt;
        if (!v || !isStringLike(v->type)) return std::string();
        std::string data(v->data.begin(), v->data.end());
        return data.substr(0, data.find('\0'));
    } catch (...) {
        return std::string();
    }
}

bool RegSetUntrimmedString(uint32_t rootKey, const std::string& keyPath,
                           const std::string& valueName, const std::string& value,
                           const std::string& computer) {
    try {
        if (!RegCreateKey(rootKey, keyPath, computer)) return false;
        Registry r = connect(computer);
        return r.backend &&
               r.backend->setValue(rootKey, keyPath, valueName, platform::stringValue(value));
    } catch (...) {
        return false;
    }
}

bool RegCreateKey(uint32_t rootKey, const std::string& keyPath, const std::string& computer) {
    try {
        if (RegKeyExists(rootKey, keyPath, computer)) return true;
        Registry r = connect(computer);
        return r.backend && r.backend->createKey(rootKey, keyPath);
    } catch (...) {
        return false;
    }
}

SubKeyList RegGetSubKeys(uint32_t rootKey, const std::string& keyPath,
                         const std::string& computer) {
    try {
        Registry r = connect(computer);
        if (!r.backend || !r.backend->keyExists(rootKey, keyPath)) return {};
        SubKeyList list{0, {""}};
        for (uint32_t i = 0;; ++i) {
            std::optional<std::string> name = r.backend->enumSubKey(rootKey, keyPath, i);
            if (!name) break;
            if (!list.items.back().empty()) list.items.emplace_back();
            list.items.back() = name->substr(0, name->find('\0'));
        }
        return list;
    } catch (...) {
        return {};
    }
}

}  // namespace vtl::RegistryModule
