// Where a text lies: its own axes, and the user origin its justification puts the keyed-in point
// at, while the element keeps the lower left corner.
#pragma once

#include <array>
#include <string>

#include "dgn/Element.h"
#include "dgn/Rotation.h"

namespace vtl::ustation {

// The justifications "ACTIVE TXJ" names, by V7's code: "LT" 0 ... "RB" 14.
// -1 for a name that is none.
int justificationCode(const std::string& name);

// The text's axes in design coordinates: its 2-D rotation, or its 3-D quaternion.
dgn::Matrix3 textOrientation(const dgn::TextBody& text, dgn::Dimension dimension);

// The user origin from the lower left corner, along the text's axes, in UORs.
std::array<double, 2> justificationOffset(int justification, double length, double height);

// The point the text was placed at (its user origin), in UORs.
dgn::Vector3 userOrigin(const dgn::TextBody& text, dgn::Dimension dimension);

// A text placed with its user origin at the point, turned by the orientation (2-D files keep
// its angle about z). Error 6 when its lower left corner leaves the design plane.
dgn::Element justifiedText(std::string text, const dgn::Point& point, double widthUors,
                           double heightUors, int justification, const dgn::Matrix3& orientation,
                           dgn::Dimension dimension);

}  // namespace vtl::ustation
