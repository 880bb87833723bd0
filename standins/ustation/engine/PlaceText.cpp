#include "PlaceText.h"

namespace vtl::ustation {

void PlaceText::dataPoint(const dgn::Point& point) {
    awaitingText_ = false;
    if (text_.empty()) return;  // nothing keyed in: there is nothing to place
    const ActiveSettings& active = drawing_.active();
    double uors = drawing_.uorsPerMaster();
    drawing_.add({dgn::makeText(text_, point, active.textWidth * uors, active.textHeight * uors)});
}

bool PlaceText::keyedText(const std::string& text) {
    if (!awaitingText_) return false;
    text_ = text;
    awaitingText_ = false;
    return true;
}

void PlaceText::reset() {
    text_.clear();
    awaitingText_ = false;
}

}  // namespace vtl::ustation
