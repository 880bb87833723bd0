// "place line": every data point after the first ends a line (type 3) at it, drawn from the
// point before; a reset starts again from the next point.
#pragma once

#include <optional>

#include "Command.h"

namespace vtl::ustation {

class PlaceLine : public Command {
public:
    using Command::Command;
    void dataPoint(const dgn::Point& point) override;
    void reset() override;

private:
    std::optional<dgn::Point> last_;
};

}  // namespace vtl::ustation
