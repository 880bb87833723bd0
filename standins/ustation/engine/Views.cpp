#include "Views.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Selection.h"
#include "core/Text.h"

namespace vtl::ustation {

namespace {

const double kR2 = 1 / std::sqrt(2.0);
const double kR3 = 1 / std::sqrt(3.0);
const double kR6 = 1 / std::sqrt(6.0);

// The part of the view's size left free around the drawing on each side.
constexpr double kBorder = 0.025;

int32_t toLong(double value) {
    return static_cast<int32_t>(std::clamp(std::round(value), -2147483648.0, 2147483647.0));
}

// The eight corners of a stored range.
std::array<dgn::Vector3, 8> corners(const dgn::Range& r) {
    std::array<dgn::Vector3, 8> c;
    for (size_t k = 0; k < 8; ++k) {
        c[k] = {double(k & 1 ? r.high.x : r.low.x), double(k & 2 ? r.high.y : r.low.y),
                double(k & 4 ? r.high.z : r.low.z)};
    }
    return c;
}

}  // namespace

std::optional<dgn::Matrix3> standardRotation(const std::string& name) {
    const std::string view = text::lower(text::trim(name));
    if (view == "top") return dgn::kIdentity;
    if (view == "bottom") return dgn::Matrix3{1, 0, 0, 0, -1, 0, 0, 0, -1};
    if (view == "front") return dgn::Matrix3{1, 0, 0, 0, 0, 1, 0, -1, 0};
    if (view == "back") return dgn::Matrix3{-1, 0, 0, 0, 0, 1, 0, 1, 0};
    if (view == "right") return dgn::Matrix3{0, 1, 0, 0, 0, 1, 1, 0, 0};
    if (view == "left") return dgn::Matrix3{0, -1, 0, 0, 0, 1, -1, 0, 0};
    // From the front right above: x runs to the lower right, y to the upper right, z up.
    if (view == "iso") return dgn::Matrix3{kR2, kR2, 0, -kR6, kR6, 2 * kR6, kR3, -kR3, kR3};
    return std::nullopt;
}

dgn::Matrix3 rotationOf(const dgn::ViewInfo& view) {
    const bool unset =
        std::all_of(view.rotation.begin(), view.rotation.end(), [](double v) { return v == 0; });
    return unset ? dgn::kIdentity : view.rotation;
}

dgn::Vector3 viewCentre(const dgn::ViewInfo& view) {
    const dgn::Vector3 half =
        dgn::apply(dgn::transpose(rotationOf(view)),
                   {view.delta.x / 2.0, view.delta.y / 2.0, view.delta.z / 2.0});
    return {view.origin.x + half[0], view.origin.y + half[1], view.origin.z + half[2]};
}

namespace {

int32_t onPlane(double uors) {
    return static_cast<int32_t>(std::lround(std::clamp(uors, -2147483647.0, 2147483647.0)));
}

}  // namespace

void zoomView(dgn::ViewInfo& view, double factor) {
    const dgn::Vector3 centre = viewCentre(view);
    view.delta = {onPlane(view.delta.x * factor), onPlane(view.delta.y * factor),
                  onPlane(view.delta.z * factor)};
    const dgn::Vector3 half =
        dgn::apply(dgn::transpose(rotationOf(view)),
                   {view.delta.x / 2.0, view.delta.y / 2.0, view.delta.z / 2.0});
    view.origin = {onPlane(centre[0] - half[0]), onPlane(centre[1] - half[1]),
                   onPlane(centre[2] - half[2])};
}

void fitView(dgn::ViewInfo& view, const dgn::DesignFile& design) {
    const dgn::Matrix3 r = rotationOf(view);
    constexpr double kHuge = std::numeric_limits<double>::max();
    dgn::Vector3 low{kHuge, kHuge, kHuge}, high{-kHuge, -kHuge, -kHuge};
    for (uint64_t position : graphicElements(design)) {
        const dgn::Record* head = design.at(position);
        if (!levelShown(view.levels, head->element.level)) continue;
        std::vector<const dgn::Record*> parts = design.components(*head);
        parts.insert(parts.begin(), head);
        for (const dgn::Record* part : parts) {
            for (const dgn::Vector3& corner : corners(part->element.range)) {
                const dgn::Vector3 v = dgn::apply(r, corner);
                for (size_t a = 0; a < 3; ++a) {
                    low[a] = std::min(low[a], v[a]);
                    high[a] = std::max(high[a], v[a]);
                }
            }
        }
    }
    if (low[0] > high[0]) return;
    const bool threeD = design.dimension() == dgn::Dimension::Three;
    for (size_t a = 0; a < 3; ++a) {
        const double border = std::max(1.0, (high[a] - low[a]) * kBorder);
        low[a] -= border;
        high[a] += border;
    }
    const dgn::Vector3 origin = dgn::apply(dgn::transpose(r), low);
    view.origin = {toLong(origin[0]), toLong(origin[1]), threeD ? toLong(origin[2]) : 0};
    view.delta = {toLong(high[0] - low[0]), toLong(high[1] - low[1]),
                  threeD ? toLong(high[2] - low[2]) : 0};
}

bool levelShown(const std::array<uint16_t, 4>& levels, int level) {
    // Level 0, which V7 does not number, has no switch: its elements always show.
    if (level < 1 || level > 64) return true;
    const int bit = level - 1;
    return (levels[static_cast<size_t>(bit / 16)] >> (bit % 16)) & 1;
}

void showLevels(std::array<uint16_t, 4>& levels, const std::bitset<64>& which, bool on) {
    for (int level = 1; level < 64; ++level) {
        if (!which.test(static_cast<size_t>(level))) continue;
        const int bit = level - 1;
        const auto mask = static_cast<uint16_t>(1u << (bit % 16));
        uint16_t& word = levels[static_cast<size_t>(bit / 16)];
        word = on ? static_cast<uint16_t>(word | mask) : static_cast<uint16_t>(word & ~mask);
    }
}

}  // namespace vtl::ustation
