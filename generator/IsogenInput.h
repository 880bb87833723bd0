// What the text files of a run have in common: the header file, the grid file and the IDF file
// are read as their non-empty lines, and their numbers become drawing units by division by a
// whole multiple of Unitfactor.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vtl {

// The non-empty lines of a text; CR LF ends a line as LF does.
std::vector<std::string> nonEmptyLines(std::string_view text);

// A field that must be a number as a whole ("1.5E3" too): its value, error 13 "Type mismatch"
// for anything else, error 6 "Overflow" beyond the range of a double.
double fieldNumber(const std::string& field);

// A value of a file in drawing units: divided by Unitfactor * perUnit, a 32-bit whole number.
// A product beyond 32 bits, or 0 / 0, is error 6 "Overflow"; another value divided by 0 is
// error 11 "Division by zero".
double toDrawingUnits(double value, int32_t Unitfactor, int perUnit);

}  // namespace vtl
