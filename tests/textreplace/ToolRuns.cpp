#include "ToolRuns.h"

#include "Session.h"
#include "core/Text.h"
#include "dgn/DesignFile.h"
#include "standins/dgn/GdalTools.h"
#include "support/PythonScript.h"

namespace vtl::tarnwell::test {

namespace fs = std::filesystem;

std::shared_ptr<mstn::Application> InProcessPrograms::openMicroStation() {
    if (failAttach) {
        const Error failure = *failAttach;
        failAttach.reset();
        throw failure;
    }
    if (onAttach) onAttach();
    if (!journal_) journal_ = std::make_unique<ustation::Journal>();
    sessions.push_back(ustation::createSession(*journal_));
    return sessions.back();
}

namespace {

// A path as a Python text literal.
std::string python(const fs::path& path) {
    return "'" + text::replaceAll(path.string(), "'", "\\'") + "'";
}

}  // namespace

fs::path writeConfigWorkbook(const fs::path& file, const std::vector<std::string>& rows,
                             const std::string& sheet) {
    std::string script;
    if (file.extension() == ".xls") {
        script = "import xlwt\nwb = xlwt.Workbook()\nws = wb.add_sheet('" + sheet +
                 "')\nrows = [('Find', 'Replace', 'Level', 'Color', 'Weight')]\n";
        for (const std::string& row : rows) script += "rows.append((" + row + "))\n";
        script +=
            "for r, values in enumerate(rows):\n"
            "    for c, value in enumerate(values):\n"
            "        if value is not None: ws.write(r, c, value)\n"
            "wb.save(" +
            python(file) + ")\n";
    } else {
        script = "import openpyxl\nwb = openpyxl.Workbook()\nws = wb.active\nws.title = '" + sheet +
                 "'\nws.append(('Find', 'Replace', 'Level', 'Color', 'Weight'))\n";
        for (const std::string& row : rows) script += "ws.append((" + row + "))\n";
        script += "wb.save(" + python(file) + ")\n";
    }
    vtl::test::runPython(script);
    return file;
}

std::vector<std::string> readWorkbookRows(const fs::path& file) {
    const std::string output = vtl::test::runPython(
        "import openpyxl\n"
        "ws = openpyxl.load_workbook(open(" +
        python(file) +
        ", 'rb')).worksheets[0]\n"
        "for row in ws.iter_rows(values_only=True): print(row)\n"
        "print(ws['A2'].number_format, ws['B2'].number_format, ws['C2'].data_type, "
        "ws['A1'].font.b)\n");
    std::vector<std::string> lines = text::split(output, '\n');
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

void setReplaceCell(const fs::path& file, int row, const std::string& replacement) {
    vtl::test::runPython(
        "import openpyxl\n"
        "wb = openpyxl.load_workbook(open(" +
        python(file) +
        ", 'rb'))\n"
        "wb.worksheets[0].cell(" +
        std::to_string(row) + ", 2).value = " + python(replacement) + "\nwb.save(" + python(file) +
        ")\n");
}

std::vector<std::string> textsOf(const fs::path& design) {
    std::vector<std::string> texts;
    for (const vtl::test::OgrFeature& f : vtl::test::ofType(vtl::test::ogrFeatures(design), 17)) {
        texts.push_back(f.field("Text") + " " + f.field("Level") + " " + f.field("ColorIndex") +
                        " " + f.field("Weight"));
    }
    return texts;
}

namespace {

// "TEXT|LEVEL|COLOR|WEIGHT" as an element at the point.
dgn::Element textElement(const std::string& row, dgn::Point at) {
    const std::vector<std::string> parts = text::split(row, '|');
    dgn::Element e = dgn::makeText(parts.at(0), at, 1000, 1000);
    e.level = std::stoi(parts.at(1));
    e.symbology = {std::stoi(parts.at(2)), std::stoi(parts.at(3)), 0};
    return e;
}

}  // namespace

fs::path writeDrawing(const fs::path& file, const TestDrawing& drawing) {
    dgn::DesignFile d = dgn::DesignFile::create(file, dgn::Dimension::Two);
    const dgn::DesignHeader h = d.header();
    double y = 0;
    for (const std::string& row : drawing.texts) d.append(textElement(row, h.toUors(0, y++)));
    if (!drawing.nodeLines.empty()) {
        std::vector<dgn::Element> lines;
        for (const std::string& row : drawing.nodeLines) {
            lines.push_back(textElement(row, h.toUors(10, y++)));
        }
        d.append(dgn::makeTextNode(7, h.toUors(10, y), 1000, 1000, 500), lines);
    }
    if (!drawing.cellTexts.empty()) {
        std::vector<dgn::Element> parts;
        for (const std::string& row : drawing.cellTexts) {
            parts.push_back(textElement(row, h.toUors(20, y++)));
        }
        d.append(dgn::makeCell("TEXTS", h.toUors(20, 0)), parts);
    }
    d.append(dgn::makeLineString({h.toUors(0, 0), h.toUors(30, y)}));
    return file;
}

}  // namespace vtl::tarnwell::test
