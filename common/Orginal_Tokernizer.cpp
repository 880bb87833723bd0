#include "common/Orginal_Tokernizer.h"

#include <algorithm>

#include "core/Text.h"

namespace vtl::Orginal_Tokernizer {

std::vector<std::string> Tokenize(std::string_view text, std::string_view delimiters) {
    const std::vector<std::string_view> chars = text::characters(text);
    if (chars.size() < 2) return {std::string(text)};
    const std::vector<std::string_view> delimiterChars = text::characters(delimiters);
    auto isDelimiter = [&](std::string_view c) {
        return std::find(delimiterChars.begin(), delimiterChars.end(), c) != delimiterChars.end();
    };
    std::vector<std::string> tokens;
    std::string token;
    for (std::string_view c : chars) {
        if (!isDelimiter(c)) {
            token += c;
        } else if (!token.empty()) {
            tokens.push_back(std::move(token));
            token.clear();
        }
    }
    if (!token.empty()) tokens.push_back(std::move(token));
    return tokens;
}

}  // namespace vtl::Orginal_Tokernizer
