// Writes the sample project's node-text workbook: a row per iso drawing (its file name in the
// "filename" column) with the texts of its title-block nodes 4 to 9, the dates as real date cells
// as Excel keeps them. P1001's first sheet has a text for node 9, which the drawings lack, so the
// run log reports it.
//
//   vtl_node_workbook NEW.xlsx
#include <iostream>
#include <string>
#include <vector>

#include "core/Error.h"
#include "workbook/Dates.h"
#include "workbook/WorkbookFile.h"

namespace {

using namespace vtl::workbook;

const std::vector<std::vector<std::string>> kRows = {
    {"filename", "nn=4 Revision", "nn=5 Date", "nn=6 Drawn", "nn=7 Checked", "nn=8 Remark",
     "nn=9 Approved"},
    {"P1001.i01", "B", "2024-05-14", "K. Brenner", "L. Ostrova", "Issued for construction",
     "M. Halden"},
    {"P1001.i02", "B", "2024-05-14", "K. Brenner", "L. Ostrova", "Issued for construction", ""},
    {"P2002.i01", "A", "2024-06-02", "T. Varga", "", "For approval", ""},
    {"P2002.i02", "A", "2024-06-02", "T. Varga", "", "For approval", ""},
};

void write(const std::string& path) {
    WorkbookData data;
    Sheet& sheet = data.sheets.emplace_back();
    sheet.name = "Node texts";
    for (size_t r = 0; r < kRows.size(); ++r) {
        for (size_t c = 0; c < kRows[r].size(); ++c) {
            if (kRows[r][c].empty()) continue;
            Cell& cell = sheet.cell(static_cast<int32_t>(r + 1), static_cast<int32_t>(c + 1));
            cell.type = Cell::Type::Text;
            cell.text = kRows[r][c];
            cell.bold = r == 0;
            if (const std::optional<double> date = r > 0 ? serialOfText(cell.text) : std::nullopt) {
                cell = Cell{Cell::Type::Number, "", *date, false, "yyyy-mm-dd"};
            }
        }
    }
    writeXlsx(data, path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: vtl_node_workbook NEW.xlsx\n";
        return 2;
    }
    try {
        write(argv[1]);
        return 0;
    } catch (const vtl::Error& e) {
        std::cerr << "vtl_node_workbook: " << e.description() << "\n";
        return 1;
    }
}
