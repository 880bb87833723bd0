// The views of a design file as the view key-ins change them: standard rotations, fitting a
// view around the drawing, and the levels each view displays.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>

#include "dgn/DesignFile.h"
#include "dgn/Rotation.h"

namespace vtl::ustation {

// The rotation "view top", "front", "right", "iso", ... gives a view: its rows are the view's
// axes in design coordinates. Nothing for a name that is none.
std::optional<dgn::Matrix3> standardRotation(const std::string& name);

// A view's rotation; a view never set (all zeros) looks from the top.
dgn::Matrix3 rotationOf(const dgn::ViewInfo& view);

// The view's centre, in design UORs.
dgn::Vector3 viewCentre(const dgn::ViewInfo& view);

// Fits the view in its rotation around the graphic elements of the file on the levels it
// displays, with a narrow border; a file without any leaves the view as it is.
void fitView(dgn::ViewInfo& view, const dgn::DesignFile& design);

// Makes the view show factor times its size around its centre; a zoom beyond the design plane
// stops at its edge.
void zoomView(dgn::ViewInfo& view, double factor);

// Whether a level (1 to 64; any other always) is displayed, and switching a set of levels (bit n:
// level n, 1 to 63).
bool levelShown(const std::array<uint16_t, 4>& levels, int level);
void showLevels(std::array<uint16_t, 4>& levels, const std::bitset<64>& which, bool on);

// The line-weights flag of the view flags.
inline constexpr uint16_t kViewLineWeights = 0x0008;

}  // namespace vtl::ustation
