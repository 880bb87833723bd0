#include "IsogenInput.h"

#include <climits>
#include <optional>

#include "common/Orginal_Tokernizer.h"
#include "core/Error.h"
#include "core/Numbers.h"

namespace vtl {

std::vector<std::string> nonEmptyLines(std::string_view text) {
    std::vector<std::string> lines = Orginal_Tokernizer::Tokenize(text, "\r\n");
    // The tokenizer hands back a text shorter than two characters whole, line end or not.
    if (lines.size() == 1 && lines[0].find_first_not_of("\r\n") == std::string::npos) {
        lines.clear();
    }
    return lines;
}

double fieldNumber(const std::string& field) {
    if (std::optional<double> value = num::parseNumber(field)) return *value;
    throw Error(13, "", "Type mismatch");
}

double toDrawingUnits(double value, int32_t Unitfactor, int perUnit) {
    const long long divisor = static_cast<long long>(Unitfactor) * perUnit;
    if (divisor > INT32_MAX || divisor < INT32_MIN || (divisor == 0 && value == 0)) {
        throw Error(err::Overflow, "", "Overflow");
    }
    if (divisor == 0) throw Error(11, "", "Division by zero");
    return value / static_cast<double>(divisor);
}

}  // namespace vtl
