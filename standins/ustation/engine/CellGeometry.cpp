#include "CellGeometry.h"

namespace vtl::ustation {

namespace {

Affine affineOf(const Placement& m) {
    Affine a;
    a.matrix = {m.scale[0], 0, 0, 0, m.scale[1], 0, 0, 0, m.scale[2]};
    a.offset = m.offset;
    return a;
}

dgn::Dimension dimensionOf(const Placement& m) {
    return m.flat ? dgn::Dimension::Two : dgn::Dimension::Three;
}

}  // namespace

dgn::Point placedPoint(const dgn::Point& p, const Placement& m) {
    return transformedPoint(p, affineOf(m), dimensionOf(m));
}

dgn::Element placed(dgn::Element element, const Placement& m) {
    return transformed(std::move(element), affineOf(m), dimensionOf(m), dimensionOf(m));
}

}  // namespace vtl::ustation
