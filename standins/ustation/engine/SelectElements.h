// "select": the element selection tool. It ends the command before it and waits; picking
// elements by a data point is not modelled, so data points leave the file as it is.
#pragma once

#include "Command.h"

namespace vtl::ustation {

class SelectElements : public Command {
public:
    using Command::Command;
    void dataPoint(const dgn::Point&) override {}
};

}  // namespace vtl::ustation
