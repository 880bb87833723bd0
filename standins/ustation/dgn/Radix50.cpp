#include "dgn/Radix50.h"

#include <cctype>

#include "core/Error.h"

namespace vtl::dgn {

namespace {

constexpr std::string_view kAlphabet = " ABCDEFGHIJKLMNOPQRSTUVWXYZ$.?0123456789";

int codeOf(char c) {
    const auto found =
        kAlphabet.find(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    return found == std::string_view::npos ? -1 : static_cast<int>(found);
}

}  // namespace

std::string fromRadix50(const std::vector<uint16_t>& words) {
    std::string text;
    for (uint16_t word : words) {
        const int codes[3] = {word / 1600 % 40, word / 40 % 40, word % 40};
        for (int code : codes) text += kAlphabet[static_cast<size_t>(code)];
    }
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::vector<uint16_t> toRadix50(std::string_view name, size_t wordCount) {
    if (name.size() > wordCount * 3) {
        raise(err::InvalidCall, "The name \"" + std::string(name) + "\" is longer than " +
                                    std::to_string(wordCount * 3) + " characters");
    }
    std::vector<uint16_t> words(wordCount, 0);
    for (size_t i = 0; i < wordCount * 3; ++i) {
        const int code = i < name.size() ? codeOf(name[i]) : 0;
        if (code < 0) {
            raise(err::InvalidCall, "The name \"" + std::string(name) +
                                        "\" holds a character a cell name cannot hold");
        }
        words[i / 3] = static_cast<uint16_t>(words[i / 3] * 40 + code);
    }
    return words;
}

}  // namespace vtl::dgn
