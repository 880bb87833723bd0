#include "Locate.h"

#include <algorithm>
#include <vector>

#include "Selection.h"

namespace vtl::ustation {

namespace {

struct Extent {
    uint64_t position = 0;
    double lowX = 0, lowY = 0, highX = 0, highY = 0;

    void take(const Extent& e) {
        lowX = std::min(lowX, e.lowX);
        lowY = std::min(lowY, e.lowY);
        highX = std::max(highX, e.highX);
        highY = std::max(highY, e.highY);
    }
};

Extent extentOf(const dgn::Record& r) {
    const dgn::Range& range = r.element.range;
    return {r.position, static_cast<double>(range.low.x), static_cast<double>(range.low.y),
            static_cast<double>(range.high.x), static_cast<double>(range.high.y)};
}

// The live graphic elements with their components' ranges, in file order.
std::vector<Extent> graphicExtents(const dgn::DesignFile& design) {
    std::vector<Extent> extents;
    bool inGraphic = false;
    for (const dgn::Record& r : design.records()) {
        if (r.component) {
            if (inGraphic && !r.element.deleted) extents.back().take(extentOf(r));
            continue;
        }
        inGraphic = !r.element.deleted && isGraphic(r.element);
        if (inGraphic) extents.push_back(extentOf(r));
    }
    return extents;
}

}  // namespace

double uorsPerPixel(const dgn::DesignFile& design) {
    std::vector<Extent> extents = graphicExtents(design);
    if (extents.empty()) return 1;
    Extent all = extents.front();
    for (const Extent& e : extents) all.take(e);
    const double size =
        std::max((all.highX - all.lowX) / kViewWidth, (all.highY - all.lowY) / kViewHeight);
    return size > 0 ? size : 1;
}

std::optional<uint64_t> locateElement(const dgn::DesignFile& design, const dgn::Point& point,
                                      double toleranceUors) {
    std::optional<uint64_t> found;
    for (const Extent& e : graphicExtents(design)) {
        if (point.x >= e.lowX - toleranceUors && point.x <= e.highX + toleranceUors &&
            point.y >= e.lowY - toleranceUors && point.y <= e.highY + toleranceUors) {
            found = e.position;
        }
    }
    return found;
}

}  // namespace vtl::ustation
