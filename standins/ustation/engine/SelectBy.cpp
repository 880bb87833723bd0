#include "SelectBy.h"

#include <utility>

#include "Keyins.h"
#include "core/Text.h"

namespace vtl::ustation {

namespace {

// The type names SELECTBY TYPE takes, with V7's types.
constexpr std::pair<const char*, int> kTypeNames[] = {
    {"cell", 2},     {"line", 3},   {"linestring", 4},     {"shape", 6},
    {"textnode", 7}, {"curve", 11}, {"complexstring", 12}, {"complexshape", 14},
    {"ellipse", 15}, {"arc", 16},   {"text", 17},          {"sharedcell", 35}};

std::optional<int> typeNumber(const std::string& name) {
    const std::string wanted = text::replaceAll(text::lower(name), "_", "");
    for (const auto& [typeName, type] : kTypeNames) {
        if (wanted == typeName) return type;
    }
    return std::nullopt;
}

}  // namespace

void SelectBy::load() {
    loaded_ = true;
    levels_.set();
    types_.set();
    inclusive_ = true;
}

void SelectBy::unload() {
    loaded_ = false;
}

std::optional<std::string> SelectBy::set(const std::string& criteria) {
    const std::string phrase = phraseOf(criteria);
    const size_t blank = phrase.find(' ');
    const std::string what = phrase.substr(0, blank);
    const std::string value = blank == std::string::npos ? "" : phrase.substr(blank + 1);
    if (what == "level") return setLevels(value);
    if (what == "type") return setTypes(value);
    if (what == "mode" && (value == "inclusive" || value == "exclusive")) {
        inclusive_ = value == "inclusive";
        return std::nullopt;
    }
    // Selecting into a fence is not modelled: the selection set is the only target.
    if (what == "options" && value == "selection") return std::nullopt;
    return "SELECTBY does not take this";
}

std::optional<std::string> SelectBy::setLevels(const std::string& list) {
    if (list == "all" || list == "none") {
        list == "all" ? levels_.set() : levels_.reset();
        return std::nullopt;
    }
    std::optional<std::bitset<64>> levels = parseLevels(list);
    if (!levels) return "not a list of levels from 1 to 63";
    levels_ |= *levels;
    return std::nullopt;
}

std::optional<std::string> SelectBy::setTypes(const std::string& list) {
    if (list == "all" || list == "none") {
        list == "all" ? types_.set() : types_.reset();
        return std::nullopt;
    }
    for (const std::string& name : text::split(list, ',')) {
        std::optional<int> type = typeNumber(text::trim(name));
        if (!type) return "no such element type";
        types_.set(static_cast<size_t>(*type));
    }
    return std::nullopt;
}

bool SelectBy::selects(const dgn::Element& e) const {
    const bool match = e.level >= 0 && e.level < 64 && levels_.test(static_cast<size_t>(e.level)) &&
                       e.type >= 0 && e.type < 128 && types_.test(static_cast<size_t>(e.type));
    return match == inclusive_;
}

}  // namespace vtl::ustation
