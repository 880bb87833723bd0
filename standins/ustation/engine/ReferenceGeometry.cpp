#include "ReferenceGeometry.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "Fence.h"
#include "Selection.h"
#include "Views.h"

namespace vtl::ustation {

namespace {

int32_t toLong(double value) {
    return static_cast<int32_t>(std::clamp(std::round(value), -2147483648.0, 2147483647.0));
}

std::vector<dgn::Vector3> rangeCorners(const dgn::Range& r) {
    std::vector<dgn::Vector3> c;
    for (int k = 0; k < 8; ++k) {
        c.push_back({double(k & 1 ? r.high.x : r.low.x), double(k & 2 ? r.high.y : r.low.y),
                     double(k & 4 ? r.high.z : r.low.z)});
    }
    return c;
}

// The clip polygon's extent; the whole plane without one.
Extent2d clipExtent(const dgn::ReferenceBody& reference) {
    constexpr double kHuge = std::numeric_limits<double>::max();
    if (reference.clip.empty()) return {-kHuge, -kHuge, kHuge, kHuge};
    Extent2d e{kHuge, kHuge, -kHuge, -kHuge};
    for (const auto& [x, y] : reference.clip) {
        e.lowX = std::min(e.lowX, double(x));
        e.lowY = std::min(e.lowY, double(y));
        e.highX = std::max(e.highX, double(x));
        e.highY = std::max(e.highY, double(y));
    }
    return e;
}

}  // namespace

Affine referenceAffine(const dgn::ReferenceBody& r) {
    Affine a;
    for (size_t k = 0; k < 9; ++k) a.matrix[k] = r.transform[k] * r.conversion;
    const dgn::Vector3 from = dgn::apply(
        a.matrix,
        {double(r.referenceOrigin.x), double(r.referenceOrigin.y), double(r.referenceOrigin.z)});
    a.offset = {r.masterOrigin.x - from[0], r.masterOrigin.y - from[1], r.masterOrigin.z - from[2]};
    return a;
}

dgn::ReferenceBody attachmentThroughView(const dgn::DesignHeader& master,
                                         const dgn::DesignHeader& reference,
                                         const dgn::ViewInfo& view, double scale,
                                         const dgn::Point& masterPoint) {
    dgn::ReferenceBody body;
    const dgn::Matrix3 rotation = rotationOf(view);
    for (size_t k = 0; k < 9; ++k) body.transform[k] = scale * rotation[k];
    body.conversion = master.uorPerMaster() / reference.uorPerMaster();
    const dgn::Vector3 centre = viewCentre(view);
    body.referenceOrigin = {toLong(centre[0]), toLong(centre[1]), toLong(centre[2])};
    body.masterOrigin = masterPoint;
    for (auto& levels : body.viewLevels) levels = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    // The view's area: its corners in view coordinates taken back into the reference's.
    const dgn::Vector3 low =
        dgn::apply(rotation, {double(view.origin.x), double(view.origin.y), double(view.origin.z)});
    const dgn::Matrix3 back = dgn::transpose(rotation);
    for (const auto& [dx, dy] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}}) {
        const dgn::Vector3 corner = dgn::apply(
            back, {low[0] + dx * double(view.delta.x), low[1] + dy * double(view.delta.y), low[2]});
        body.clip.push_back({toLong(corner[0]), toLong(corner[1])});
    }
    return body;
}

std::vector<uint64_t> shownElements(const dgn::DesignFile& file,
                                    const dgn::ReferenceBody& reference, int view) {
    const auto& levels = reference.viewLevels[static_cast<size_t>(view - 1)];
    const Extent2d clip = clipExtent(reference);
    std::vector<uint64_t> shown;
    for (uint64_t position : graphicElements(file)) {
        const dgn::Record* head = file.at(position);
        if (!levelShown(levels, head->element.level)) continue;
        const Extent2d e = mappedExtent(file, *head, Affine{});
        if (e.highX < clip.lowX || e.lowX > clip.highX || e.highY < clip.lowY ||
            e.lowY > clip.highY) {
            continue;
        }
        shown.push_back(position);
    }
    return shown;
}

Extent2d mappedExtent(const dgn::DesignFile& file, const dgn::Record& head, const Affine& a) {
    constexpr double kHuge = std::numeric_limits<double>::max();
    Extent2d e{kHuge, kHuge, -kHuge, -kHuge};
    std::vector<const dgn::Record*> parts = file.components(head);
    parts.insert(parts.begin(), &head);
    for (const dgn::Record* part : parts) {
        for (const dgn::Vector3& corner : rangeCorners(part->element.range)) {
            const dgn::Vector3 m = dgn::apply(a.matrix, corner);
            e.lowX = std::min(e.lowX, m[0] + a.offset[0]);
            e.lowY = std::min(e.lowY, m[1] + a.offset[1]);
            e.highX = std::max(e.highX, m[0] + a.offset[0]);
            e.highY = std::max(e.highY, m[1] + a.offset[1]);
        }
    }
    return e;
}

}  // namespace vtl::ustation
