// Moving, turning and scaling elements as a whole: cells placed from a library, the 2-D
// conversion of a 3-D drawing seen through a view, and elements copied out of a reference.
#pragma once

#include "dgn/Element.h"
#include "dgn/Rotation.h"

namespace vtl::ustation {

// Maps a point p (UORs) to offset + matrix * p.
struct Affine {
    dgn::Matrix3 matrix = dgn::kIdentity;
    dgn::Vector3 offset{};
};

// Error 6 when the point leaves the design plane. A 2-D target gets z 0.
dgn::Point transformedPoint(const dgn::Point& point, const Affine& affine, dgn::Dimension to);

// The element, read from a file of dimension `from`, with its points mapped and its sizes (text
// sizes, line spacing) and orientations (texts, cells) turned and scaled as its axes are, for a
// file of dimension `to`. Raises error 6 when a point leaves the design plane and error 5 for
// elements whose geometry the stand-in does not open up (arcs, curves, ...).
dgn::Element transformed(dgn::Element element, const Affine& affine, dgn::Dimension from,
                         dgn::Dimension to);

}  // namespace vtl::ustation
