#include "Selection.h"

namespace vtl::ustation {

bool isGraphic(const dgn::Element& e) {
    return dgn::hasDisplayHeader(e.type) && e.type != dgn::type::GroupData &&
           e.type != dgn::type::SharedCellDefinition && e.type != dgn::type::Application;
}

std::vector<uint64_t> graphicElements(const dgn::DesignFile& design) {
    std::vector<uint64_t> positions;
    for (const dgn::Record& r : design.records()) {
        if (!r.element.deleted && !r.component && isGraphic(r.element)) {
            positions.push_back(r.position);
        }
    }
    return positions;
}

uint64_t moveToLevel(dgn::DesignFile& design, uint64_t position, int level) {
    const dgn::Record* record = design.at(position);
    dgn::Element head = record->element;
    head.level = level;
    std::vector<dgn::Element> parts;
    for (const dgn::Record* part : design.components(*record)) {
        parts.push_back(part->element);
        parts.back().level = level;
    }
    if (parts.empty()) return design.rewrite(position, head);
    return design.rewrite(position, head, parts);
}

}  // namespace vtl::ustation
