#include "dgn/ElementFormat.h"

#include "core/Numbers.h"

namespace vtl::dgn {

namespace {

std::string pointText(const Point& p, const DesignHeader& h) {
    const auto m = h.toMaster(p);
    std::string text = "(" + num::text(m[0]) + "," + num::text(m[1]);
    if (h.dimension == Dimension::Three) text += "," + num::text(m[2]);
    return text + ")";
}

std::string pointsText(const std::vector<Point>& points, const DesignHeader& h) {
    std::string text = " points=";
    for (size_t i = 0; i < points.size(); ++i) text += (i ? " " : "") + pointText(points[i], h);
    return text;
}

std::string bodyText(const Element& e, const Record& record, const DesignHeader& h) {
    return std::visit(
        [&](const auto& body) -> std::string {
            using T = std::decay_t<decltype(body)>;
            if constexpr (std::is_same_v<T, LineBody>) return pointsText({body.start, body.end}, h);
            if constexpr (std::is_same_v<T, LineStringBody>) return pointsText(body.vertices, h);
            if constexpr (std::is_same_v<T, TextBody>) {
                return " origin=" + pointText(body.origin, h) + " text=\"" + body.text + "\"";
            }
            if constexpr (std::is_same_v<T, TextNodeBody>) {
                return " node=" + std::to_string(body.nodeNumber) +
                       " origin=" + pointText(body.origin, h) +
                       " strings=" + std::to_string(body.numStrings);
            }
            if constexpr (std::is_same_v<T, CellBody>) {
                return " name=\"" + body.name + "\" origin=" + pointText(body.origin, h);
            }
            if constexpr (std::is_same_v<T, CellLibraryBody>) {
                return " name=\"" + body.name + "\" description=\"" + body.description + "\"";
            }
            if constexpr (std::is_same_v<T, AppDataBody>) {
                return " data=" + std::to_string(body.payload.size()) + " bytes";
            }
            if constexpr (std::is_same_v<T, SavedViewBody>) {
                return " saved view=\"" + body.name + "\" description=\"" + body.description +
                       "\" views=" + std::to_string(body.views.size());
            }
            if constexpr (std::is_same_v<T, ReferenceBody>) {
                return " reference=" + std::to_string(body.fileNumber) + " file=\"" + body.file +
                       "\" logical=\"" + body.logicalName + "\" description=\"" + body.description +
                       "\"" + (body.displayed() ? "" : " off");
            }
            return " size=" + std::to_string(record.size());
        },
        e.body);
}

}  // namespace

std::string describe(const Record& record, const DesignHeader& header) {
    const Element& e = record.element;
    std::string line = std::to_string(record.position) + " type=" + std::to_string(e.type) +
                       " level=" + std::to_string(e.level) +
                       " color=" + std::to_string(e.symbology.color) +
                       " weight=" + std::to_string(e.symbology.weight) +
                       " style=" + std::to_string(e.symbology.style);
    if (e.deleted) line += " deleted";
    if (record.component) line += " component";
    return line + bodyText(e, record, header);
}

}  // namespace vtl::dgn
