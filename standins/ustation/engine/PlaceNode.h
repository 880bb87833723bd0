// "place node": the key-ins that follow it and are no commands are the node's lines, in order;
// every data point places a text node with them there, numbered with the active node number,
// which then counts up. Without lines the node is empty; a node whose lines would leave the
// design plane is not placed. A reset clears the lines.
#pragma once

#include <string>
#include <vector>

#include "Command.h"

namespace vtl::ustation {

class PlaceNode : public Command {
public:
    using Command::Command;
    void dataPoint(const dgn::Point& point) override;
    bool keyedText(const std::string& text) override;
    void reset() override;

private:
    std::vector<std::string> lines_;
    bool awaitingText_ = true;
};

}  // namespace vtl::ustation
