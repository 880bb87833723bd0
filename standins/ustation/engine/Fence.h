// The fence: a block placed by two corners in view 1, and its lock, which decides which elements
// the fence operations take by where they lie against it.
#pragma once

#include <optional>
#include <string>

namespace vtl::ustation {

enum class FenceMode { Inside, Overlap, Clip, Void, VoidOverlap, VoidClip };

// "inside", "overlap", "clip", "void", "void overlap", "void clip"; nothing for other words.
std::optional<FenceMode> fenceMode(const std::string& words);

// An extent (x and y, UORs of the open file).
struct Extent2d {
    double lowX = 0, lowY = 0, highX = 0, highY = 0;
};

struct Fence {
    std::optional<Extent2d> block;
    FenceMode mode = FenceMode::Inside;

    // Whether an element of this extent belongs to the fence's contents: inside the block,
    // outside it or across its edge, as the lock asks (clipping takes elements across the
    // edge whole).
    bool takes(const Extent2d& extent) const;
};

}  // namespace vtl::ustation
