// Placing the active cell, which "ACTIVE CELL" starts: every data point places the cell from
// the attached library there, at the active scale, as a cell header with copies of the cell's
// elements; these keep the levels and symbology they have in the library, not the active ones.
// A reset ends the placing, so later data points place nothing until the next "ACTIVE CELL".
#pragma once

#include "Command.h"

namespace vtl::ustation {

class PlaceCell : public Command {
public:
    using Command::Command;
    void dataPoint(const dgn::Point& point) override;
    void reset() override { placing_ = false; }

private:
    bool placing_ = true;
};

}  // namespace vtl::ustation
