// The field splitter of the text parsers.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vtl::Orginal_Tokernizer {

// The tokens of a text: the maximal runs of characters that are not in the delimiter set, in
// order; runs of delimiters give no empty tokens. A text of fewer than two characters is the one
// token, whatever it holds. Characters are UTF-8 characters, compared exactly.
std::vector<std::string> Tokenize(std::string_view text, std::string_view delimiters);

}  // namespace vtl::Orginal_Tokernizer
