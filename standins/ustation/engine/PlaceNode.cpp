#include "PlaceNode.h"

#include <algorithm>
#include <limits>

namespace vtl::ustation {

void PlaceNode::dataPoint(const dgn::Point& point) {
    awaitingText_ = false;
    ActiveSettings& active = drawing_.active();
    double uors = drawing_.uorsPerMaster();
    double height = active.textHeight * uors;
    double width = active.textWidth * uors;
    // The node's origin is its top left corner; the lines hang below it, each a height and
    // half a height of spacing lower, and all of them have to stay on the design plane.
    const double drop = static_cast<double>(lines_.size()) * 1.5 * height;
    if (height > std::numeric_limits<int32_t>::max() ||
        point.y - drop < std::numeric_limits<int32_t>::min()) {
        drawing_.note("node not placed, its lines leave the design plane");
        return;
    }
    auto spacing = static_cast<int32_t>(height / 2);
    std::vector<dgn::Element> lines;
    int maxUsed = 0;
    int32_t y = point.y;
    for (const std::string& line : lines_) {
        y -= static_cast<int32_t>(height);
        lines.push_back(dgn::makeText(line, {point.x, y, point.z}, width, height));
        y -= spacing;
        maxUsed = std::max(maxUsed, static_cast<int>(line.size()));
    }
    dgn::Element node =
        dgn::makeTextNode(static_cast<uint16_t>(active.nodeNumber), point, width, height, spacing);
    std::get<dgn::TextNodeBody>(node.body).maxUsed = maxUsed;
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
