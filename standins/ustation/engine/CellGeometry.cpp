#include "CellGeometry.h"

#include <cmath>
#include <limits>
#include <type_traits>

#include "core/Error.h"

namespace vtl::ustation {

namespace {

int32_t rounded(double value) {
    const double r = std::round(value);
    if (!std::isfinite(r) || r < std::numeric_limits<int32_t>::min() ||
        r > std::numeric_limits<int32_t>::max()) {
        raise(err::Overflow, "The cell does not fit into the design plane at this point and scale");
    }
    return static_cast<int32_t>(r);
}

// The transformation of a nested cell: each row maps to one axis and takes that axis' scale.
void scaleRows(std::array<int32_t, 9>& transform, const std::array<double, 3>& scale) {
    for (size_t k = 0; k < transform.size(); ++k) {
        transform[k] = rounded(transform[k] * scale[k / 3]);
    }
}

}  // namespace

dgn::Point placedPoint(const dgn::Point& p, const Placement& m) {
    const auto& o = m.offset;
    const auto& s = m.scale;
    return {rounded(o[0] + s[0] * p.x), rounded(o[1] + s[1] * p.y),
            m.flat ? 0 : rounded(o[2] + s[2] * p.z)};
}

dgn::Element placed(dgn::Element element, const Placement& m) {
    const double sx = std::abs(m.scale[0]);
    const double sy = std::abs(m.scale[1]);
    auto point = [&m](dgn::Point& p) { p = placedPoint(p, m); };
    std::visit(
        [&](auto& body) {
            using T = std::decay_t<decltype(body)>;
            if constexpr (std::is_same_v<T, dgn::LineBody>) {
                point(body.start);
                point(body.end);
            } else if constexpr (std::is_same_v<T, dgn::LineStringBody>) {
                for (dgn::Point& p : body.vertices) point(p);
            } else if constexpr (std::is_same_v<T, dgn::TextBody> ||
                                 std::is_same_v<T, dgn::TextNodeBody>) {
                point(body.origin);
                body.lengthMult = rounded(body.lengthMult * sx);
                body.heightMult = rounded(body.heightMult * sy);
                if constexpr (std::is_same_v<T, dgn::TextNodeBody>) {
                    body.lineSpacing = rounded(body.lineSpacing * sy);
                }
            } else if constexpr (std::is_same_v<T, dgn::CellBody>) {
                point(body.origin);
                scaleRows(body.transform, m.scale);
            } else {
                raise(err::InvalidCall, "The cell holds an element the stand-in cannot place (" +
                                            dgn::typeName(element.type) + ")");
            }
        },
        element.body);
    return element;
}

}  // namespace vtl::ustation
