#include "dgn/Rotation.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vtl::dgn {

namespace {

constexpr double kScale = 2147483647.0;

}  // namespace

Matrix3 multiply(const Matrix3& a, const Matrix3& b) {
    Matrix3 m{};
    for (size_t r = 0; r < 3; ++r) {
        for (size_t c = 0; c < 3; ++c) {
            for (size_t k = 0; k < 3; ++k) m[3 * r + c] += a[3 * r + k] * b[3 * k + c];
        }
    }
    return m;
}

Matrix3 transpose(const Matrix3& m) {
    return {m[0], m[3], m[6], m[1], m[4], m[7], m[2], m[5], m[8]};
}

Vector3 apply(const Matrix3& m, const Vector3& v) {
    return {m[0] * v[0] + m[1] * v[1] + m[2] * v[2], m[3] * v[0] + m[4] * v[1] + m[5] * v[2],
            m[6] * v[0] + m[7] * v[1] + m[8] * v[2]};
}

Matrix3 rotationZ(double degrees) {
    const double a = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(a), s = std::sin(a);
    return {c, -s, 0, s, c, 0, 0, 0, 1};
}

Matrix3 fromQuaternion(const std::array<int32_t, 4>& stored) {
    double w = stored[0], x = stored[1], y = stored[2], z = stored[3];
    const double length = std::sqrt(w * w + x * x + y * y + z * z);
    if (length == 0) return kIdentity;
    w /= length, x /= length, y /= length, z /= length;
    return {1 - 2 * (y * y + z * z), 2 * (x * y - w * z),     2 * (x * z + w * y),
            2 * (x * y + w * z),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
            2 * (x * z - w * y),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y)};
}

// The usual way from a rotation matrix to its quaternion: from the largest of the four terms,
// so that no division by a number near 0 loses the precision.
std::array<int32_t, 4> toQuaternion(const Matrix3& m) {
    const double trace = m[0] + m[4] + m[8];
    double w, x, y, z;
    if (trace > 0) {
        const double s = 2 * std::sqrt(1 + trace);
        w = s / 4, x = (m[7] - m[5]) / s, y = (m[2] - m[6]) / s, z = (m[3] - m[1]) / s;
    } else if (m[0] > m[4] && m[0] > m[8]) {
        const double s = 2 * std::sqrt(1 + m[0] - m[4] - m[8]);
        w = (m[7] - m[5]) / s, x = s / 4, y = (m[1] + m[3]) / s, z = (m[2] + m[6]) / s;
    } else if (m[4] > m[8]) {
        const double s = 2 * std::sqrt(1 + m[4] - m[0] - m[8]);
        w = (m[2] - m[6]) / s, x = (m[1] + m[3]) / s, y = s / 4, z = (m[5] + m[7]) / s;
    } else {
        const double s = 2 * std::sqrt(1 + m[8] - m[0] - m[4]);
        w = (m[3] - m[1]) / s, x = (m[2] + m[6]) / s, y = (m[5] + m[7]) / s, z = s / 4;
    }
    // One rotation has two quaternions; the one with w not negative is kept.
    const double sign = w < 0 ? -1 : 1;
    auto stored = [sign](double v) {
        return static_cast<int32_t>(std::lround(std::clamp(sign * v, -1.0, 1.0) * kScale));
    };
    return {stored(w), stored(x), stored(y), stored(z)};
}

}  // namespace vtl::dgn
