#include "Orginal_Tokernizer.h"

#include <algorithm>

namespace vtl::Orginal_Tokernizer {

namespace {

// The UTF-8 characters of a text: each a lead byte with its continuation bytes.
std::vector<std::string_view> characters(std::string_view text) {
    std::vector<std::string_view> result;
    size_t i = 0;
    while (i < text.size()) {
        size_t length = 1;
        while (i + length < text.size() &&
               (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80) {
            ++length;
        }
        result.push_back(text.substr(i, length));
        i += length;
    }
    return result;
}

}  // namespace

std::vector<std::string> Tokenize(std::string_view text, std::string_view delimiters) {
    const std::vector<std::string_view> chars = characters(text);
    if (chars.size() < 2) return {std::string(text)};
    const std::vector<std::string_view> delimiterChars = characters(delimiters);
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
