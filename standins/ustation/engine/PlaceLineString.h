// "place lstring": every data point adds a vertex; a reset (or the next command) makes the line
// string from two or more vertices. A line string keeps its type also with two vertices.
#pragma once

#include "Command.h"

namespace vtl::ustation {

class PlaceLineString : public Command {
public:
    using Command::Command;
    void dataPoint(const dgn::Point& point) override;
    void reset() override;

private:
    std::vector<dgn::Point> vertices_;
};

}  // namespace vtl::ustation
