// Rotations of views and 3-D texts: 3x3 matrices, row-major as V7 stores a view's matrix, and
// the quaternions 3-D texts store.
#pragma once

#include <array>
#include <cstdint>

namespace vtl::dgn {

using Matrix3 = std::array<double, 9>;
using Vector3 = std::array<double, 3>;

inline constexpr Matrix3 kIdentity = {1, 0, 0, 0, 1, 0, 0, 0, 1};

Matrix3 multiply(const Matrix3& a, const Matrix3& b);
Matrix3 transpose(const Matrix3& m);
Vector3 apply(const Matrix3& m, const Vector3& v);
// A turn about z, counterclockwise in degrees.
Matrix3 rotationZ(double degrees);

// The rotation a stored quaternion (w, x, y, z, each scaled by 2^31 - 1) describes: it takes the
// element's own axes into design coordinates, so its first column is the text's baseline.
Matrix3 fromQuaternion(const std::array<int32_t, 4>& stored);
// The stored quaternion of a rotation matrix.
std::array<int32_t, 4> toQuaternion(const Matrix3& m);

}  // namespace vtl::dgn
