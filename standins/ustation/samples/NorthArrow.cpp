// Draws a north arrow into a new 2-D design file (m, mm), at the upper left of a sample iso
// drawing's sheet, and attaches it to that drawing as a reference by its file name: the iso
// drawing the configuration wizard previews on, copied with its reference.
//
//   vtl_north_arrow ISO.i01 NEWNORTH.dgn
#include <filesystem>
#include <iostream>
#include <string>

#include "core/Error.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"

namespace {

using namespace vtl::dgn;

Element onLevel1(Element element) {
    element.level = 1;
    element.symbology = {0, 1, 0};
    return element;
}

// An arrow pointing up with an "N" above it.
void drawArrow(const std::string& path) {
    DesignFile north = DesignFile::create(path, Dimension::Two);
    const DesignHeader& h = north.header();
    north.append(onLevel1(makeLineString({h.toUors(10, 80), h.toUors(10, 92)})));
    north.append(onLevel1(makeLineString({h.toUors(8, 88), h.toUors(10, 92), h.toUors(12, 88)})));
    const double size = h.distanceToUors(2);
    north.append(onLevel1(makeText("N", h.toUors(9, 93), size, size)));
}

void attach(const std::string& iso, const std::string& northPath) {
    DesignFile drawing = DesignFile::open(iso);
    ReferenceBody attachment;
    attachment.file = std::filesystem::path(northPath).filename().string();
    attachment.logicalName = "NORTH";
    attachment.description = "North arrow";
    for (auto& levels : attachment.viewLevels) levels = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    attachReference(drawing, attachment);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: vtl_north_arrow ISO.i01 NEWNORTH.dgn\n";
        return 2;
    }
    try {
        drawArrow(argv[2]);
        attach(argv[1], argv[2]);
        return 0;
    } catch (const vtl::Error& e) {
        std::cerr << "vtl_north_arrow: " << e.description() << "\n";
        return 1;
    }
}
