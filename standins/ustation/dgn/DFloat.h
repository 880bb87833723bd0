// The VAX D-float numbers of V7 files, converted to and from IEEE doubles.
#pragma once

#include <cstdint>

namespace vtl::dgn {

// Reads the 8 bytes of a D-float. A zero exponent reads as 0.
double fromDFloat(const uint8_t* p);

// Writes a double as D-float. Values too small for the D-float range become 0, values too
// large (and infinities) become the largest D-float of their sign, NaN becomes 0.
void toDFloat(double value, uint8_t* p);

}  // namespace vtl::dgn
