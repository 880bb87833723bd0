#include "NodeLines.h"

#include <algorithm>

namespace vtl::ustation {

int32_t nodeLineSpacing(double heightUors) {
    return static_cast<int32_t>(heightUors / 2);
}

std::vector<dgn::Element> nodeLines(const std::vector<std::string>& lines, const dgn::Point& origin,
                                    double widthUors, double heightUors) {
    std::vector<dgn::Element> texts;
    int32_t y = origin.y;
    for (const std::string& line : lines) {
        y -= static_cast<int32_t>(heightUors);
        texts.push_back(dgn::makeText(line, {origin.x, y, origin.z}, widthUors, heightUors));
        y -= nodeLineSpacing(heightUors);
    }
    return texts;
}

int longestLine(const std::vector<dgn::Element>& lines) {
    int longest = 0;
    for (const dgn::Element& line : lines) {
        if (const std::string* text = dgn::textOf(line)) {
            longest = std::max(longest, static_cast<int>(text->size()));
        }
    }
    return longest;
}

}  // namespace vtl::ustation
