#include "PlaceText.h"

#include "TextGeometry.h"
#include "core/Error.h"

namespace vtl::ustation {

void PlaceText::dataPoint(const dgn::Point& point) {
    awaitingText_ = false;
    if (text_.empty()) return;  // nothing keyed in: there is nothing to place
    const ActiveSettings& active = drawing_.active();
    const double uors = drawing_.uorsPerMaster();
    // In a 3-D file the text lies flat in the view, turned by the active angle within it.
    const dgn::Matrix3 orientation =
        dgn::multiply(dgn::transpose(drawing_.viewRotation()), dgn::rotationZ(active.angle));
    try {
        dgn::Element text =
            justifiedText(text_, point, active.textWidth * uors, active.textHeight * uors,
                          active.justification, orientation, drawing_.dimension());
        std::get<dgn::TextBody>(text.body).font = active.font;
        drawing_.add({std::move(text)});
    } catch (const Error& e) {
        drawing_.note("text not placed: " + e.description());
    }
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
