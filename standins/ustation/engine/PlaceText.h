// "place text": the key-in that follows it, when it is no command, is the text; every data
// point then places that text in the active size, font and angle, the active justification
// putting the point at the text's lower left corner, its centre or another of its nine points.
// A reset clears the text, and later key-ins are not taken as text again until the next
// "place text".
#pragma once

#include <string>

#include "Command.h"

namespace vtl::ustation {

class PlaceText : public Command {
public:
    using Command::Command;
    void dataPoint(const dgn::Point& point) override;
    bool keyedText(const std::string& text) override;
    void reset() override;

private:
    std::string text_;
    bool awaitingText_ = true;
};

}  // namespace vtl::ustation
