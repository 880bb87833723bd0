// The extraction: the distinct texts of design files collected into a configuration workbook,
// one row per text, level, colour and weight of each file, Replace prefilled with the text.
#pragma once

#include <string>

namespace vtl::tarnwell {

// Before the first file: an existing workbook is replaced only when the user agrees ("Overwrite
// file <path>?"); then it is deleted, and a workbook in use or one that cannot be deleted raises
// the support library's error. False when the user declined.
bool PrepareOutputWorkbook(const std::string& workbook);

// The cell text that keeps a text as text in the workbook: a leading "'" for a text that would
// read as a number, and for one that starts with "'" itself, which the "'" would otherwise eat.
std::string AsCellText(const std::string& text);

// Appends the texts of one design file to the workbook, which the first file of a run creates:
// each text and text-node component that is not blank, once per text, level, colour and weight,
// leaving out those the workbook holds on that level, colour and weight when the first file
// begins (a table an earlier run left loaded counts for nothing). Excel and MicroStation are quit
// in every case. Errors are raised with "DGN2XLS" in front of their source.
void DGN2XLS(const std::string& dgn, const std::string& workbook, bool firstFile);

}  // namespace vtl::tarnwell
