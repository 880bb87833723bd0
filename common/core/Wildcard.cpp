#include "core/Wildcard.h"

#include <algorithm>
#include <system_error>

#include "core/Text.h"

namespace vtl::wildcard {

namespace fs = std::filesystem;

namespace {

// What may stay of the pattern once the name has ended: wildcards and at most one ".".
bool matchesEmpty(const std::vector<std::string_view>& pattern, size_t from) {
    int dots = 0;
    for (size_t i = from; i < pattern.size(); ++i) {
        if (pattern[i] == ".") {
            ++dots;
        } else if (pattern[i] != "*" && pattern[i] != "?") {
            return false;
        }
    }
    return dots <= 1;
}

}  // namespace

bool hasWildcards(std::string_view text) {
    return text.find_first_of("*?") != text.npos;
}

bool matches(std::string_view pattern, std::string_view name) {
    // A name is matched character by character; a UTF-8 sequence counts as one character.
    const std::vector<std::string_view> p = text::characters(pattern);
    const std::vector<std::string_view> n = text::characters(name);
    // ok[i][j]: p from i matches n from j; filled from the ends backwards.
    std::vector<std::vector<char>> ok(p.size() + 1, std::vector<char>(n.size() + 1, 0));
    for (size_t i = p.size() + 1; i-- > 0;) {
        ok[i][n.size()] = matchesEmpty(p, i);
        if (i == p.size()) continue;  // an ended pattern matches no characters
        for (size_t j = n.size(); j-- > 0;) {
            if (p[i] == "*") {
                ok[i][j] = ok[i + 1][j] || ok[i][j + 1];
            } else if (p[i] == "?" || text::iequals(p[i], n[j])) {
                ok[i][j] = ok[i + 1][j + 1];
            }
        }
    }
    return ok[0][0];
}

std::vector<std::string> list(const fs::path& folder, std::string_view pattern) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        if (it->is_directory(ec)) continue;
        std::string name = it->path().filename().string();
        if (matches(pattern, name)) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end(), text::lessIgnoringCase);
    return names;
}

}  // namespace vtl::wildcard
