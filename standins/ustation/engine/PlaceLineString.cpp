#include "PlaceLineString.h"

#include "dgn/Layout.h"

namespace vtl::ustation {

void PlaceLineString::dataPoint(const dgn::Point& point) {
    vertices_.push_back(point);
    // A full element is placed and the next one goes on from its last vertex, as MicroStation
    // does at the vertex limit.
    if (vertices_.size() == dgn::layout::kMaxVertices) {
        dgn::Point last = vertices_.back();
        reset();
        vertices_.push_back(last);
    }
}

void PlaceLineString::reset() {
    std::vector<dgn::Point> vertices = std::move(vertices_);
    vertices_.clear();
    if (vertices.size() >= 2) drawing_.add({dgn::makeLineString(std::move(vertices))});
}

}  // namespace vtl::ustation
