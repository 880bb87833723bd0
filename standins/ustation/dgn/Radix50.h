// Radix-50 names of cells: three characters from " A-Z$.?0-9" packed into each word.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vtl::dgn {

// The characters of the words, trailing blanks removed.
std::string fromRadix50(const std::vector<uint16_t>& words);

// Packs a name into the given number of words, lower case taken as upper case. Raises error 5
// for a name that is too long or holds a character Radix-50 cannot store.
std::vector<uint16_t> toRadix50(std::string_view name, size_t wordCount);

}  // namespace vtl::dgn
