#include "ElementTransform.h"

#include <cmath>
#include <limits>
#include <numbers>
#include <type_traits>

#include "TextGeometry.h"
#include "core/Error.h"

namespace vtl::ustation {

namespace {

using dgn::Dimension;
using dgn::Matrix3;
using dgn::Vector3;

int32_t rounded(double value) {
    const double r = std::round(value);
    if (!std::isfinite(r) || r < std::numeric_limits<int32_t>::min() ||
        r > std::numeric_limits<int32_t>::max()) {
        raise(err::Overflow, "The element does not fit into the design plane there");
    }
    return static_cast<int32_t>(r);
}

double length(const Vector3& v) {
    return std::hypot(v[0], v[1], v[2]);
}

Vector3 column(const Matrix3& m, size_t c) {
    return {m[c], m[3 + c], m[6 + c]};
}

// The orientation with the length of each axis taken out, as the sizes take it.
struct Turned {
    Matrix3 orientation;
    double scaleX = 1, scaleY = 1;
};

Turned turn(const Matrix3& affine, const Matrix3& orientation) {
    const Matrix3 m = dgn::multiply(affine, orientation);
    Turned t{m, length(column(m, 0)), length(column(m, 1))};
    const double scales[3] = {t.scaleX, t.scaleY, length(column(m, 2))};
    for (size_t c = 0; c < 3; ++c) {
        if (scales[c] == 0) continue;
        for (size_t r = 0; r < 3; ++r) t.orientation[3 * r + c] /= scales[c];
    }
    return t;
}

// A text or text node: origin, sizes and the orientation in the target's form.
template <class Body>
void transformText(Body& body, const Affine& a, Dimension to, const Matrix3& own) {
    const Turned t = turn(a.matrix, own);
    body.origin = transformedPoint(body.origin, a, to);
    body.lengthMult = rounded(body.lengthMult * t.scaleX);
    body.heightMult = rounded(body.heightMult * t.scaleY);
    if constexpr (std::is_same_v<Body, dgn::TextNodeBody>) {
        body.lineSpacing = rounded(body.lineSpacing * t.scaleY);
    }
    if (to == Dimension::Three) {
        body.quaternion = dgn::toQuaternion(t.orientation);
    } else {
        double degrees = std::atan2(t.orientation[3], t.orientation[0]) * 180.0 / std::numbers::pi;
        if (degrees < 0) degrees += 360;
        body.rotation = rounded(degrees * 360000.0) % (360 * 360000);
    }
}

Matrix3 ownOrientation(const dgn::TextNodeBody& n, Dimension d) {
    if (d == Dimension::Three) return dgn::fromQuaternion(n.quaternion);
    return dgn::rotationZ(n.rotation / 360000.0);
}

// A cell's transformation (units of kTransformUnit) taken through the matrix.
void transformCell(std::array<int32_t, 9>& transform, const Matrix3& m) {
    Matrix3 cell;
    for (size_t k = 0; k < 9; ++k) cell[k] = transform[k];
    const Matrix3 turned = dgn::multiply(m, cell);
    for (size_t k = 0; k < 9; ++k) transform[k] = rounded(turned[k]);
}

}  // namespace

dgn::Point transformedPoint(const dgn::Point& p, const Affine& a, Dimension to) {
    const Vector3 v = dgn::apply(a.matrix, {double(p.x), double(p.y), double(p.z)});
    return {rounded(a.offset[0] + v[0]), rounded(a.offset[1] + v[1]),
            to == Dimension::Two ? 0 : rounded(a.offset[2] + v[2])};
}

dgn::Element transformed(dgn::Element element, const Affine& a, Dimension from, Dimension to) {
    auto point = [&](dgn::Point& p) {
        if (from == Dimension::Two) p.z = 0;
        p = transformedPoint(p, a, to);
    };
    std::visit(
        [&](auto& body) {
            using T = std::decay_t<decltype(body)>;
            if constexpr (std::is_same_v<T, dgn::LineBody>) {
                point(body.start);
                point(body.end);
            } else if constexpr (std::is_same_v<T, dgn::LineStringBody>) {
                for (dgn::Point& p : body.vertices) point(p);
            } else if constexpr (std::is_same_v<T, dgn::TextBody>) {
                if (from == Dimension::Two) body.origin.z = 0;
                transformText(body, a, to, textOrientation(body, from));
            } else if constexpr (std::is_same_v<T, dgn::TextNodeBody>) {
                if (from == Dimension::Two) body.origin.z = 0;
                transformText(body, a, to, ownOrientation(body, from));
            } else if constexpr (std::is_same_v<T, dgn::CellBody>) {
                point(body.origin);
                transformCell(body.transform, a.matrix);
            } else {
                raise(err::InvalidCall, "The stand-in cannot move or turn a " +
                                            dgn::typeName(element.type) + " element");
            }
        },
        element.body);
    return element;
}

}  // namespace vtl::ustation
