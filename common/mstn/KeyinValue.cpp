#include "mstn/KeyinValue.h"

#include "core/Error.h"
#include "core/Text.h"

namespace vtl::mstn {

const std::string& keyinSafe(const std::string& text, const std::string& what) {
    const size_t bad = text.find_first_of(";\r\n");
    if (bad == std::string::npos) return text;
    raise(kOwnError, "The " + what + " '" + oneLine(text) + "' cannot be sent to MicroStation: " +
                         (text[bad] == ';' ? "a ';'" : "a line break") +
                         " would start a key-in of its own");
}

std::string oneLine(const std::string& text) {
    return text::replaceAll(text::replaceAll(text, "\r", "\\r"), "\n", "\\n");
}

}  // namespace vtl::mstn
