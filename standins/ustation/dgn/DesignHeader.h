// The design file header: the terminal control block (TCB, type 9) with the file's dimension,
// working units and global origin, and the conversion between master units and UORs.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "dgn/Element.h"

namespace vtl::dgn {

// Working units: names of up to 2 characters, sub units per master unit, UORs per sub unit.
struct Units {
    std::string master = "m";
    std::string sub = "mm";
    int32_t subPerMaster = 1000;
    int32_t uorPerSub = 10;
    bool operator==(const Units&) const = default;
};

struct DesignHeader {
    Dimension dimension = Dimension::Two;
    Units units;
    // The global origin: the UORs of master point (0, 0, 0).
    std::array<double, 3> origin{};

    // UORs per master unit; 1 when the units hold no usable numbers.
    double uorPerMaster() const;
    // Master units of a point: (uors - origin) / uorPerMaster.
    std::array<double, 3> toMaster(const Point& point) const;
    double coordinateToMaster(int32_t uors, int axis) const;
    // UORs of a master position, rounded; error 6 "Overflow" outside the design plane. 2-D
    // files get z 0.
    Point toUors(double x, double y, double z = 0) const;
    int32_t coordinateToUors(double master, int axis) const;
    // Lengths (text sizes, spacings) without the origin.
    double distanceToUors(double master) const { return master * uorPerMaster(); }
    double distanceToMaster(double uors) const { return uors / uorPerMaster(); }
};

// The size of the TCB element.
inline constexpr size_t kDesignHeaderSize = 1536;
// The size of the header element that starts a cell library.
inline constexpr size_t kLibraryHeaderSize = 50;

// Reads dimension, units and origin from a TCB element of kDesignHeaderSize bytes.
DesignHeader readDesignHeader(const uint8_t* tcb);
// The views 1 to kHeaderViews a TCB element keeps; error 5 for another view number.
inline constexpr size_t kHeaderViews = 8;
ViewInfo readHeaderView(const uint8_t* tcb, int view);
void writeHeaderView(uint8_t* tcb, int view, const ViewInfo& info);
// The dimension a cell library header gives.
Dimension libraryDimension(const uint8_t* libraryHeader);

// The elements that start a new design file: TCB, digitizer setup and level symbology, with
// one view showing all levels.
Bytes makeDesignFileStart(const DesignHeader& header);
// The header element that starts a new cell library.
Bytes makeLibraryStart(Dimension dimension);

}  // namespace vtl::dgn
