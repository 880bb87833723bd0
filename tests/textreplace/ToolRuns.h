// What the tests of the tool's runs share: the outside programs in the test's process (a stand-in
// MicroStation session per attachment, on real design files, journaling into the test's platform
// home; Excel over workbook files, recorded, and possibly not installed), configuration workbooks
// written by the independent writer (python3-openpyxl) and read back by it, and drawings.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Journal.h"
#include "StandIn.h"
#include "core/Error.h"
#include "support/FakeExcel.h"
#include "support/TempDir.h"
#include "textreplace/OutsidePrograms.h"

namespace vtl::tarnwell::test {

class InProcessPrograms : public OutsidePrograms {
public:
    std::unique_ptr<excel::Application> createExcel() override { return excel.create(); }
    std::shared_ptr<mstn::Application> openMicroStation() override;

    vtl::test::FakeExcel excel;
    // Every session attached to, in order.
    std::vector<std::shared_ptr<ustation::StandInApplication>> sessions;
    // Raised by the next attachment instead of attaching.
    std::optional<Error> failAttach;
    // Runs at every attachment (a test's MicroStation process appears).
    std::function<void()> onAttach;

private:
    std::unique_ptr<ustation::Journal> journal_;
};

// A configuration workbook by openpyxl: the header row, then one row per entry of five Python
// values, such as "'A-100', 'B-100', 5, 3, 0" (None for an empty cell). An .xls name writes
// Excel 97-2003 with xlwt.
std::filesystem::path writeConfigWorkbook(const std::filesystem::path& file,
                                          const std::vector<std::string>& rows,
                                          const std::string& sheet = "Konfig");

// The rows openpyxl reads from the first sheet, each as Python writes the tuple of its values
// ("('Find', 'Replace', 'Level', 'Color', 'Weight')"), then a line with the number formats of
// A2 and B2, the data type of C2 and whether A1 is bold ("@ @ n True").
std::vector<std::string> readWorkbookRows(const std::filesystem::path& file);

// Sets the Replace cell of a row (counted from 1) with openpyxl, as a user edits the workbook.
void setReplaceCell(const std::filesystem::path& file, int row, const std::string& replacement);

// The texts of a drawing as GDAL reads them, in file order, each with its level, colour and
// weight: "A-100 5 3 0".
std::vector<std::string> textsOf(const std::filesystem::path& design);

// A drawing of the tests (2-D, m and mm): texts, each "TEXT|LEVEL|COLOR|WEIGHT" at its own
// place, then a text node (number 7) of the lines given the same way, a cell "TEXTS" holding
// the cell texts and a line string.
struct TestDrawing {
    std::vector<std::string> texts;
    std::vector<std::string> nodeLines;
    std::vector<std::string> cellTexts;
};
std::filesystem::path writeDrawing(const std::filesystem::path& file, const TestDrawing& drawing);

}  // namespace vtl::tarnwell::test
