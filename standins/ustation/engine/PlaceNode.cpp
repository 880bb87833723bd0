#include "PlaceNode.h"

#include <limits>

#include "NodeLines.h"

namespace vtl::ustation {

void PlaceNode::dataPoint(const dgn::Point& point) {
    awaitingText_ = false;
    ActiveSettings& active = drawing_.active();
    double uors = drawing_.uorsPerMaster();
    double height = active.textHeight * uors;
    double width = active.textWidth * uors;
    // All lines have to stay on the design plane.
    const double drop = static_cast<double>(lines_.size()) * 1.5 * height;
    if (height > std::numeric_limits<int32_t>::max() ||
        point.y - drop < std::numeric_limits<int32_t>::min()) {
        drawing_.note("node not placed, its lines leave the design plane");
        return;
    }
    std::vector<dgn::Element> lines = nodeLines(lines_, point, width, height);
    dgn::Element node = dgn::makeTextNode(static_cast<uint16_t>(active.nodeNumber), point, width,
                                          height, nodeLineSpacing(height));
    std::get<dgn::TextNodeBody>(node.body).maxUsed = longestLine(lines);
    lines.insert(lines.begin(), std::move(node));
    drawing_.add(std::move(lines));
    active.nodeNumber = active.nodeNumber % 65535 + 1;
}

bool PlaceNode::keyedText(const std::string& text) {
    if (!awaitingText_) return false;
    lines_.push_back(text);
    return true;
}

void PlaceNode::reset() {
    lines_.clear();
    awaitingText_ = false;
}

}  // namespace vtl::ustation
