#include "Fence.h"

#include "Keyins.h"

namespace vtl::ustation {

std::optional<FenceMode> fenceMode(const std::string& words) {
    const std::string mode = phraseOf(words);
    if (mode == "inside") return FenceMode::Inside;
    if (mode == "overlap") return FenceMode::Overlap;
    if (mode == "clip") return FenceMode::Clip;
    if (mode == "void") return FenceMode::Void;
    if (mode == "void overlap") return FenceMode::VoidOverlap;
    if (mode == "void clip") return FenceMode::VoidClip;
    return std::nullopt;
}

bool Fence::takes(const Extent2d& e) const {
    if (!block) return false;
    const Extent2d& b = *block;
    const bool inside =
        e.lowX >= b.lowX && e.highX <= b.highX && e.lowY >= b.lowY && e.highY <= b.highY;
    const bool outside =
        e.highX < b.lowX || e.lowX > b.highX || e.highY < b.lowY || e.lowY > b.highY;
    const bool across = !inside && !outside;
    switch (mode) {
        case FenceMode::Inside:
            return inside;
        case FenceMode::Overlap:
        case FenceMode::Clip:
            return inside || across;
        case FenceMode::Void:
            return outside;
        case FenceMode::VoidOverlap:
        case FenceMode::VoidClip:
            return outside || across;
    }
    return false;
}

}  // namespace vtl::ustation
