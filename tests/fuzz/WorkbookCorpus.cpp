// Writes the workbook fuzz target's starting corpus: a configuration workbook as the extraction
// writes it, with texts, numbers, bold and the text format.
#include <iostream>

#include "workbook/WorkbookFile.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: workbook_corpus OUT.xlsx\n";
        return 2;
    }
    using vtl::workbook::Cell;
    vtl::workbook::WorkbookData book;
    book.sheets.emplace_back();
    vtl::workbook::Sheet& sheet = book.sheets.back();
    sheet.name = "Konfig";
    const char* heads[] = {"Find", "Replace", "Level", "Color", "Weight"};
    for (int column = 1; column <= 5; ++column) {
        sheet.cell(1, column) = {Cell::Type::Text, heads[column - 1], 0, true};
    }
    sheet.cell(2, 1) = {Cell::Type::Text, "P-1", 0, false, "@"};
    sheet.cell(2, 2) = {Cell::Type::Text, "0815", 0, false, "@"};
    for (int column = 3; column <= 5; ++column) sheet.cell(2, column) = {Cell::Type::Number, "", 7};
    vtl::workbook::writeXlsx(book, argv[1]);
    return 0;
}
