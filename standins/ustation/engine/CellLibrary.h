// The cells of V7 cell libraries: found by name for placing, and added from a design file's
// elements. A library keeps its cells in UORs around the cell origin at (0, 0, 0); cells are
// placed without conversion of units, so a library serves design files of its working units.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dgn/DesignFile.h"

namespace vtl::ustation {

struct CellDefinition {
    uint64_t position = 0;
    dgn::Dimension dimension = dgn::Dimension::Two;  // the library's
    dgn::Element header;                             // the library's cell header (type 1)
    std::vector<dgn::Element> components;  // as stored, nested cells with their components
};

// Opens a cell library. Raises an error naming the file when it is missing or unreadable, no
// V7 file, or a design file.
dgn::DesignFile openCellLibrary(const std::filesystem::path& path);

// The cell of that name, the case of letters ignored; nothing when the library lacks it.
std::optional<CellDefinition> findCell(const dgn::DesignFile& library, std::string_view name);

// The cell, placed with its origin at the point and scaled: a cell header (type 2) and the
// components, which keep their levels and symbology. The header takes the level and symbology
// of the library's cell header. Raises as placed() does, and for a cell of the other dimension.
std::vector<dgn::Element> placeCell(const CellDefinition& cell, const dgn::Point& origin,
                                    const std::array<double, 3>& scale, dgn::Dimension dimension);

// Adds the cell NAME, made of every graphic element of the design file, to the library,
// created with the design's dimension when missing; a cell of that name is replaced. The
// design's global origin (master point 0,0,0) becomes the cell origin. Raises an error, the
// library unchanged, for an unusable name, a design file without graphic elements, or a
// library of the other dimension.
void storeCell(const std::filesystem::path& library, const std::string& name,
               const std::filesystem::path& design);

}  // namespace vtl::ustation
