// Draws a sample iso drawing, as ISOGEN leaves one per sheet beside the header file: a sheet of
// 140 by 99 units (A3 at 1:3) with its border, a title block whose fields are text nodes, an
// empty key-plan box in the upper right corner where the overview is stamped, and a sketch of
// the pipe runs. The build makes the sample project's ".i01" and ".i02" files with it.
//
//   vtl_iso_drawing NEW.iNN PIPELINE SHEET SHEETS
//
// Nodes: 1 drawing number, 2 pipeline and 3 sheet (filled), 4 revision, 5 date, 6 drawn by,
// 7 checked by and 8 remark (empty, for the node texts of the workbook).
#include <iostream>
#include <string>
#include <vector>

#include "core/Error.h"
#include "dgn/DesignFile.h"

namespace {

using namespace vtl::dgn;

// Levels of the drawing: none is the overview's pipe level of the sample project (10), so the
// stamp, which clears that level, takes nothing of the sheet's own.
constexpr int kBorderLevel = 1;
constexpr int kLabelLevel = 2;
constexpr int kNodeLevel = 3;
constexpr int kPipeLevel = 4;
constexpr double kTextSize = 1.6;

class Sheet {
public:
    explicit Sheet(DesignFile& file) : file_(file), h_(file.header()) {}

    void rectangle(double x1, double y1, double x2, double y2, int weight) {
        Element e = makeLineString({at(x1, y1), at(x2, y1), at(x2, y2), at(x1, y2), at(x1, y1)});
        e.type = type::Shape;
        add(e, kBorderLevel, {0, weight, 0});
    }
    void line(const std::vector<std::pair<double, double>>& points, int level, Symbology s) {
        std::vector<Point> vertices;
        for (auto [x, y] : points) vertices.push_back(at(x, y));
        add(makeLineString(vertices), level, s);
    }
    void label(const std::string& text, double x, double y) {
        add(makeText(text, at(x, y), size(0.8), size(0.8)), kLabelLevel, {5, 0, 0});
    }
    // A node whose origin is the upper left corner of its first line.
    void node(uint16_t number, const std::string& text, double x, double y) {
        const double s = size(kTextSize);
        Element header = makeTextNode(number, at(x, y), s, s, static_cast<int32_t>(s / 2));
        header.level = kNodeLevel;
        header.symbology = {2, 0, 0};
        std::vector<Element> lines;
        if (!text.empty()) {
            Element line = makeText(text, at(x, y - kTextSize), s, s);
            line.level = kNodeLevel;
            line.symbology = {2, 0, 0};
            lines.push_back(line);
            std::get<TextNodeBody>(header.body).maxUsed = static_cast<int>(text.size());
        }
        lines.empty() ? file_.append(header) : file_.append(header, lines);
    }

private:
    Point at(double x, double y) const { return h_.toUors(x, y); }
    double size(double master) const { return h_.distanceToUors(master); }
    void add(Element e, int level, Symbology s) {
        e.level = level;
        e.symbology = s;
        file_.append(e);
    }

    DesignFile& file_;
    const DesignHeader& h_;
};

void titleBlock(Sheet& sheet, const std::string& pipeline, int number, int count) {
    sheet.rectangle(90, 1, 139, 25, 1);
    const char* fields[] = {"DRAWING", "PIPELINE", "SHEET",   "REV",
                            "DATE",    "DRAWN",    "CHECKED", "REMARK"};
    for (int row = 0; row < 8; ++row) {
        const double top = 25 - row * 3;
        if (row > 0) sheet.line({{90, top}, {139, top}}, kBorderLevel, {0, 0, 0});
        sheet.label(fields[row], 91, top - 2.2);
    }
    const std::string sheetText = std::to_string(number) + " OF " + std::to_string(count);
    const std::string drawing = pipeline + "-ISO-0" + std::to_string(number);
    const std::string filled[] = {drawing, pipeline, sheetText, "", "", "", "", ""};
    for (int row = 0; row < 8; ++row) {
        sheet.node(static_cast<uint16_t>(row + 1), filled[row], 104, 25 - row * 3 - 0.3);
    }
}

// A few runs in isometric directions, shifted from sheet to sheet.
void pipeSketch(Sheet& sheet, int number) {
    const double dx = (number - 1) * 8.0;
    const Symbology pipe{3, 3, 0};
    sheet.line({{12 + dx, 30}, {38 + dx, 45}, {38 + dx, 68}, {64 + dx, 83}}, kPipeLevel, pipe);
    sheet.line({{38 + dx, 56}, {20 + dx, 66}}, kPipeLevel, pipe);
    sheet.label("FLAN", 10 + dx, 27);
    sheet.label("VALV", 39 + dx, 56);
}

void draw(const std::string& path, const std::string& pipeline, int number, int count) {
    DesignFile file = DesignFile::create(path, Dimension::Two);
    Sheet sheet(file);
    sheet.rectangle(1, 1, 139, 98, 2);
    sheet.rectangle(100, 58, 136, 95, 0);
    sheet.label("KEY PLAN", 101, 93);
    titleBlock(sheet, pipeline, number, count);
    pipeSketch(sheet, number);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: vtl_iso_drawing NEW.iNN PIPELINE SHEET SHEETS\n";
        return 2;
    }
    try {
        draw(argv[1], argv[2], std::stoi(argv[3]), std::stoi(argv[4]));
        return 0;
    } catch (const vtl::Error& e) {
        std::cerr << "vtl_iso_drawing: " << e.description() << "\n";
        return 1;
    }
}
