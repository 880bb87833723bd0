#include "Keyins.h"

#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl::ustation {

std::vector<std::string> splitKeyins(std::string_view keyins) {
    std::vector<std::string> result;
    for (const std::string& part : text::split(keyins, ';')) {
        std::string keyin = text::trimSpace(part);
        if (!keyin.empty()) result.push_back(std::move(keyin));
    }
    return result;
}

std::string phraseOf(std::string_view keyin) {
    std::string phrase;
    for (char c : text::lower(text::trimSpace(keyin))) {
        bool blank = c == ' ' || c == '\t';
        if (blank && !phrase.empty() && phrase.back() == ' ') continue;
        phrase += blank ? ' ' : c;
    }
    return phrase;
}

std::optional<Assignment> assignmentOf(std::string_view keyin) {
    size_t equals = keyin.find('=');
    if (equals == std::string_view::npos) return {};
    std::string name = phraseOf(keyin.substr(0, equals));
    if (name.empty() || name.find(' ') != std::string::npos) return {};
    return Assignment{name, text::trimSpace(keyin.substr(equals + 1))};
}

std::optional<mstn::Point> parsePoint(std::string_view list) {
    std::vector<std::string> parts = text::split(list, ',');
    if (parts.size() > 3) return {};
    double values[3] = {0, 0, 0};
    for (size_t i = 0; i < parts.size(); ++i) {
        std::optional<double> value = num::parseDecimal(parts[i]);
        if (!value) return {};
        values[i] = *value;
    }
    return mstn::Point{values[0], values[1], values[2]};
}

std::optional<std::bitset<64>> parseLevels(std::string_view list) {
    std::bitset<64> levels;
    for (const std::string& part : text::split(list, ',')) {
        const std::vector<std::string> range = text::split(part, '-');
        if (range.size() > 2) return std::nullopt;
        const std::optional<int32_t> low = num::parseWhole32(range.front());
        const std::optional<int32_t> high = num::parseWhole32(range.back());
        if (!low || !high || *low < 1 || *high > 63 || *low > *high) return std::nullopt;
        for (int32_t level = *low; level <= *high; ++level) levels.set(static_cast<size_t>(level));
    }
    return levels;
}

}  // namespace vtl::ustation
