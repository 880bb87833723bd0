// A text that goes into a MicroStation key-in as it stands: a configuration value, a path, a
// typed value, a coordinate of an input file.
#pragma once

#include <string>

namespace vtl::mstn {

// Returns the text when a key-in can carry it. A ";" would end the key-in there and send the
// rest as a key-in of its own, and so would a line break: such a text is refused with error 1,
// "The <what> '<text>' cannot be sent to MicroStation: a ';' would start a key-in of its own"
// (or "a line break would ..."), line breaks shown as \r and \n.
const std::string& keyinSafe(const std::string& text, const std::string& what);

// The text on one line, its line breaks shown as \r and \n: how a message names it.
std::string oneLine(const std::string& text);

}  // namespace vtl::mstn
