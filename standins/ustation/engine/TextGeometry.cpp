#include "TextGeometry.h"

#include <cmath>
#include <limits>
#include <numbers>

#include "core/Error.h"
#include "core/Text.h"

namespace vtl::ustation {

namespace {

constexpr const char* kJustifications[] = {"LT", "LC",  "LB",  "LMT", "LMC", "LMB", "CT", "CC",
                                           "CB", "RMT", "RMC", "RMB", "RT",  "RC",  "RB"};

double textLength(const dgn::TextBody& t) {
    return dgn::textSize(t.lengthMult) * static_cast<double>(t.text.size());
}

int32_t toUor(double value) {
    const double r = std::round(value);
    if (!std::isfinite(r) || r < std::numeric_limits<int32_t>::min() ||
        r > std::numeric_limits<int32_t>::max()) {
        raise(err::Overflow, "The text leaves the design plane");
    }
    return static_cast<int32_t>(r);
}

}  // namespace

int justificationCode(const std::string& name) {
    const std::string wanted = text::upper(text::trim(name));
    for (int code = 0; code < static_cast<int>(std::size(kJustifications)); ++code) {
        if (wanted == kJustifications[code]) return code;
    }
    return -1;
}

dgn::Matrix3 textOrientation(const dgn::TextBody& t, dgn::Dimension d) {
    if (d == dgn::Dimension::Three) return dgn::fromQuaternion(t.quaternion);
    return dgn::rotationZ(t.rotation / 360000.0);
}

// Codes 0 to 5 are left, 6 to 8 centred, 9 to 14 right; within each group top, centre and
// bottom take turns.
std::array<double, 2> justificationOffset(int justification, double length, double height) {
    const int horizontal = justification < 6 ? 0 : justification < 9 ? 1 : 2;
    const int vertical = justification % 3;
    return {length * horizontal / 2.0, height * (2 - vertical) / 2.0};
}

dgn::Vector3 userOrigin(const dgn::TextBody& t, dgn::Dimension d) {
    const auto offset =
        justificationOffset(t.justification, textLength(t), dgn::textSize(t.heightMult));
    const dgn::Vector3 turned = dgn::apply(textOrientation(t, d), {offset[0], offset[1], 0});
    return {t.origin.x + turned[0], t.origin.y + turned[1],
            d == dgn::Dimension::Three ? t.origin.z + turned[2] : 0};
}

dgn::Element justifiedText(std::string text, const dgn::Point& point, double widthUors,
                           double heightUors, int justification, const dgn::Matrix3& orientation,
                           dgn::Dimension dimension) {
    dgn::Element element = dgn::makeText(std::move(text), point, widthUors, heightUors);
    auto& t = std::get<dgn::TextBody>(element.body);
    t.justification = justification;
    const bool threeD = dimension == dgn::Dimension::Three;
    if (threeD) {
        t.quaternion = dgn::toQuaternion(orientation);
    } else {
        double degrees = std::atan2(orientation[3], orientation[0]) * 180.0 / std::numbers::pi;
        if (degrees < 0) degrees += 360;
        t.rotation = toUor(degrees * 360000.0) % (360 * 360000);
    }
    const auto offset =
        justificationOffset(justification, textLength(t), dgn::textSize(t.heightMult));
    const dgn::Vector3 turned =
        dgn::apply(textOrientation(t, dimension), {offset[0], offset[1], 0});
    t.origin = {toUor(point.x - turned[0]), toUor(point.y - turned[1]),
                threeD ? toUor(point.z - turned[2]) : 0};
    return element;
}

}  // namespace vtl::ustation
