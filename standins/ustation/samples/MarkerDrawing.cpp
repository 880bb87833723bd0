// Draws the marker of the sample project's cell library into a new 2-D design file (m, mm): a
// square of 4 m with a cross of 6 m through it, centred on the global origin, red on level 1.
// The build makes the cell of it with "ustation.exe --make-cell".
#include <iostream>

#include "core/Error.h"
#include "dgn/DesignFile.h"

namespace {

using namespace vtl::dgn;

Element marked(Element element) {
    element.level = 1;
    element.symbology = {3, 2, 0};
    return element;
}

void drawMarker(const std::string& path) {
    DesignFile file = DesignFile::create(path, Dimension::Two);
    const DesignHeader& h = file.header();
    file.append(marked(makeLine(h.toUors(-3, 0), h.toUors(3, 0))));
    file.append(marked(makeLine(h.toUors(0, -3), h.toUors(0, 3))));
    Element square = marked(makeLineString(
        {h.toUors(-2, -2), h.toUors(2, -2), h.toUors(2, 2), h.toUors(-2, 2), h.toUors(-2, -2)}));
    square.type = type::Shape;
    file.append(square);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vtl_marker_drawing NEW.dgn\n";
        return 2;
    }
    try {
        drawMarker(argv[1]);
        return 0;
    } catch (const vtl::Error& e) {
        std::cerr << "vtl_marker_drawing: " << e.description() << "\n";
        return 1;
    }
}
