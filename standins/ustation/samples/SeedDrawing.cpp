// Draws the seed design files of the sample project (m, mm) whose contents matter to a run:
//   overview FILE    the overview's seed: the plant's outline (-4,-4) to (34,28) on level 5 in
//                    cyan, and the grid lines of iso/FW_project.dat with their labels on level 6
//                    in blue, under the saved view VTL over the plant area (-10,-5) to (40,35),
//                    which the cover sheet and the iso drawings show
//   coversheet FILE  the cover sheet's seed: a frame of 420 x 297 with its title block on
//                    level 1, a note on level 10 (the sample's delLevel) that each run clears, and
//                    cut marks at the sheet's corners
#include <iostream>
#include <string>

#include "core/Error.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"

namespace {

using namespace vtl::dgn;

Element styled(Element element, int level, int color, int weight) {
    element.level = level;
    element.symbology = {color, weight, 0};
    return element;
}

Element box(const DesignHeader& h, double x0, double y0, double x1, double y1) {
    Element shape = makeLineString(
        {h.toUors(x0, y0), h.toUors(x1, y0), h.toUors(x1, y1), h.toUors(x0, y1), h.toUors(x0, y0)});
    shape.type = type::Shape;
    return shape;
}

Element text(const DesignHeader& h, const std::string& s, double x, double y, double size) {
    return makeText(s, h.toUors(x, y), h.distanceToUors(size * 0.8), h.distanceToUors(size));
}

// A label of 1 m centred on (x, y).
Element gridLabel(const DesignHeader& h, const std::string& s, double x, double y) {
    return styled(text(h, s, x - 0.4, y - 0.5, 1), 6, 1, 0);
}

// The grid of the sample's grid file: A to F at x = 0, 6, ..., 30 from y = -2 to 26, and 1 to 4
// at y = 0, 8, 16, 24 from x = -2 to 32, labelled beyond their upper and left ends.
void drawPlant(DesignFile& file) {
    const DesignHeader& h = file.header();
    file.append(styled(box(h, -4, -4, 34, 28), 5, 7, 1));
    for (int n = 0; n < 6; ++n) {
        const double x = 6.0 * n;
        file.append(styled(makeLine(h.toUors(x, -2), h.toUors(x, 26)), 6, 1, 0));
        file.append(gridLabel(h, std::string(1, static_cast<char>('A' + n)), x, 27));
    }
    for (int n = 0; n < 4; ++n) {
        const double y = 8.0 * n;
        file.append(styled(makeLine(h.toUors(-2, y), h.toUors(32, y)), 6, 1, 0));
        file.append(gridLabel(h, std::to_string(n + 1), -3, y));
    }
}

void drawOverviewSeed(const std::string& path) {
    DesignFile file = DesignFile::create(path, Dimension::Two);
    drawPlant(file);
    const DesignHeader& h = file.header();
    ViewInfo view = file.headerViews()[0];
    view.origin = h.toUors(-10, -5);
    view.delta = {static_cast<int32_t>(h.distanceToUors(50)),
                  static_cast<int32_t>(h.distanceToUors(40)), 0};
    SavedViewBody saved;
    saved.name = "VTL";
    saved.description = "OVERVIEW";
    saved.views = {view};
    saveView(file, saved);
}

// Cut marks, 5 mm each way, in the sheet's corners. The wizard measures a drawing by its
// elements' end points, which for a closed shape are one point: the marks give it the whole sheet.
void drawCutMarks(DesignFile& file, double width, double height) {
    const DesignHeader& h = file.header();
    for (const double x : {0.0, width}) {
        for (const double y : {0.0, height}) {
            const double inX = x == 0 ? 5 : x - 5;
            const double inY = y == 0 ? 5 : y - 5;
            file.append(styled(makeLineString({h.toUors(inX, y), h.toUors(x, y), h.toUors(x, inY)}),
                               1, 0, 0));
        }
    }
}

void drawCoverSheetSeed(const std::string& path) {
    DesignFile file = DesignFile::create(path, Dimension::Two);
    const DesignHeader& h = file.header();
    file.append(styled(box(h, 0, 0, 420, 297), 1, 0, 3));
    file.append(styled(box(h, 10, 10, 410, 287), 1, 0, 1));
    file.append(styled(box(h, 290, 10, 410, 40), 1, 0, 1));
    file.append(styled(text(h, "ISO COVER SHEET", 295, 28, 5), 1, 0, 1));
    file.append(styled(text(h, "VISTREL DEMO PROJECT", 295, 16, 4), 1, 0, 0));
    file.append(styled(text(h, "PLACEHOLDER - REPLACED BY THE RUN", 150, 140, 6), 10, 2, 0));
    drawCutMarks(file, 420, 297);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind != "overview" && kind != "coversheet") {
        std::cerr << "usage: vtl_seed_drawing overview|coversheet NEW.dgn\n";
        return 2;
    }
    try {
        kind == "overview" ? drawOverviewSeed(argv[2]) : drawCoverSheetSeed(argv[2]);
        return 0;
    } catch (const vtl::Error& e) {
        std::cerr << "vtl_seed_drawing: " << e.description() << "\n";
        return 1;
    }
}
