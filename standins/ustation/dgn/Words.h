// Word-level access to V7 element bytes: shorts are little-endian, longs are stored high word
// first with each word little-endian, and element ranges hold longs in offset-binary form.
#pragma once

#include <cstdint>
#include <vector>

namespace vtl::dgn {

using Bytes = std::vector<uint8_t>;

inline uint16_t getWord(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

inline void putWord(uint8_t* p, uint16_t value) {
    p[0] = static_cast<uint8_t>(value & 0xFF);
    p[1] = static_cast<uint8_t>(value >> 8);
}

inline uint32_t getUnsignedLong(const uint8_t* p) {
    return (static_cast<uint32_t>(getWord(p)) << 16) | getWord(p + 2);
}

inline void putUnsignedLong(uint8_t* p, uint32_t value) {
    putWord(p, static_cast<uint16_t>(value >> 16));
    putWord(p + 2, static_cast<uint16_t>(value & 0xFFFF));
}

inline int32_t getLong(const uint8_t* p) {
    return static_cast<int32_t>(getUnsignedLong(p));
}
inline void putLong(uint8_t* p, int32_t value) {
    putUnsignedLong(p, static_cast<uint32_t>(value));
}

// Range longs are offset by 2^31 so that they compare as unsigned numbers.
inline int32_t getRangeLong(const uint8_t* p) {
    return static_cast<int32_t>(getUnsignedLong(p) ^ 0x80000000u);
}

inline void putRangeLong(uint8_t* p, int32_t value) {
    putUnsignedLong(p, static_cast<uint32_t>(value) ^ 0x80000000u);
}

}  // namespace vtl::dgn
