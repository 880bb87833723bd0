#include "dgn/DFloat.h"

#include <bit>
#include <cmath>

#include "dgn/Words.h"

namespace vtl::dgn {

namespace {

// A D-float holds sign, an 8-bit exponent biased by 128 and a 55-bit fraction with a hidden
// leading bit, the value being 0.1fff... * 2^(exp-128). IEEE's 1.fff... * 2^(exp-1023) puts the
// same number at an exponent 894 higher, with 3 fraction bits fewer.
constexpr int kExponentShift = 894;
constexpr uint64_t kFractionMask = (uint64_t{1} << 55) - 1;

uint64_t readBits(const uint8_t* p) {
    uint64_t bits = 0;
    for (int i = 0; i < 4; ++i) bits = (bits << 16) | getWord(p + 2 * i);
    return bits;
}

void writeBits(uint64_t bits, uint8_t* p) {
    for (int i = 3; i >= 0; --i) {
        putWord(p + 2 * i, static_cast<uint16_t>(bits & 0xFFFF));
        bits >>= 16;
    }
}

}  // namespace

double fromDFloat(const uint8_t* p) {
    const uint64_t bits = readBits(p);
    const uint64_t exponent = (bits >> 55) & 0xFF;
    if (exponent == 0) return 0.0;
    const uint64_t sign = bits >> 63;
    const uint64_t fraction = bits & kFractionMask;
    // Round the 3 dropped bits to nearest, ties to even; a carry runs into the exponent.
    uint64_t ieee = ((exponent + kExponentShift) << 52) | (fraction >> 3);
    const uint64_t dropped = fraction & 7;
    if (dropped > 4 || (dropped == 4 && (ieee & 1))) ++ieee;
    return std::bit_cast<double>((sign << 63) | ieee);
}

void toDFloat(double value, uint8_t* p) {
    if (std::isnan(value)) value = 0.0;
    const uint64_t ieee = std::bit_cast<uint64_t>(value);
    const uint64_t sign = ieee >> 63;
    const int64_t exponent = static_cast<int64_t>((ieee >> 52) & 0x7FF) - kExponentShift;
    const uint64_t mantissa = ieee & ((uint64_t{1} << 52) - 1);
    uint64_t bits = 0;
    if (exponent > 255) {
        bits = (sign << 63) | (uint64_t{255} << 55) | kFractionMask;
    } else if (exponent > 0) {
        bits = (sign << 63) | (static_cast<uint64_t>(exponent) << 55) | (mantissa << 3);
    }
    writeBits(bits, p);
}

}  // namespace vtl::dgn
