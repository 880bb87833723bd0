// The 2-D conversion of a 3-D design file (what the MDL application cnvdgn does): every element
// seen through a view's rotation, written into a new 2-D file of the same working units.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "dgn/DesignFile.h"
#include "dgn/Rotation.h"

namespace vtl::ustation {

// Writes the 2-D file at target, replacing a file there only once the new one is complete.
// Elements the stand-in cannot turn (arcs, curves, ...) are left out and named in `skipped`.
// Raises the error of writing the file; the target then stays as it was.
void convertTo2d(const dgn::DesignFile& design, const dgn::Matrix3& view,
                 const std::filesystem::path& target, std::vector<std::string>& skipped);

}  // namespace vtl::ustation
