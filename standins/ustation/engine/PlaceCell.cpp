#include "PlaceCell.h"

#include "CellLibrary.h"
#include "core/Error.h"

namespace vtl::ustation {

void PlaceCell::dataPoint(const dgn::Point& point) {
    if (!placing_) return;
    const ActiveSettings& active = drawing_.active();
    const std::string what = "cell " + active.cell + " not placed";
    if (active.cellLibrary.empty()) {
        drawing_.note(what + ", no cell library is attached");
        return;
    }
    try {
        const dgn::DesignFile library = openCellLibrary(active.cellLibrary);
        const std::optional<CellDefinition> cell = findCell(library, active.cell);
        if (!cell) {
            drawing_.note(what + ", the library " + active.cellLibrary + " has no such cell");
            return;
        }
        std::vector<dgn::Element> placed =
            placeCell(*cell, point, active.scale, drawing_.dimension());
        // The cell lies on the active level, which the level display and the fence go by; its
        // elements keep their own levels and symbology.
        placed.front().level = active.level;
        drawing_.addAsGiven(std::move(placed));
    } catch (const Error& e) {
        drawing_.note(what + ": " + e.description());
    }
}

}  // namespace vtl::ustation
