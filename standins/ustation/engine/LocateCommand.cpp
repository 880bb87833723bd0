#include "LocateCommand.h"

namespace vtl::ustation {

void LocateCommand::dataPoint(const dgn::Point& point) {
    dgn::DesignFile* file = drawing_.drawingFile();
    if (!file) return;
    if (!identified_) {
        identified_ = drawing_.locate(point);
        if (!identified_) drawing_.note(name_ + ": no element found at the data point");
        return;
    }
    const uint64_t position = *identified_;
    identified_.reset();
    const dgn::Record* record = file->at(position);
    // A macro or another program may have deleted it in between.
    if (!record || record->element.deleted) {
        drawing_.note(name_ + ": the identified element is gone");
        return;
    }
    accept(position);
}

void MatchElement::accept(uint64_t position) {
    const dgn::Element& e = drawing_.drawingFile()->at(position)->element;
    ActiveSettings& active = drawing_.active();
    active.level = e.level;
    active.color = e.symbology.color;
    active.weight = e.symbology.weight;
    active.style = e.symbology.style;
    int32_t lengthMult = 0, heightMult = 0;
    if (const auto* text = std::get_if<dgn::TextBody>(&e.body)) {
        lengthMult = text->lengthMult;
        heightMult = text->heightMult;
    } else if (const auto* node = std::get_if<dgn::TextNodeBody>(&e.body)) {
        lengthMult = node->lengthMult;
        heightMult = node->heightMult;
    }
    if (heightMult > 0) {
        active.textWidth = dgn::textSize(lengthMult) / drawing_.uorsPerMaster();
        active.textHeight = dgn::textSize(heightMult) / drawing_.uorsPerMaster();
    }
}

void DeleteElement::accept(uint64_t position) {
    drawing_.drawingFile()->remove(position);
    drawing_.changed();
}

}  // namespace vtl::ustation
