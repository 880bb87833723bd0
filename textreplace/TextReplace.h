// The replacement of one design file, and what it shares with the extraction: the checks of the
// design file and the workbook's folder, and the walk over the texts of the file open in
// MicroStation.
#pragma once

#include <functional>
#include <string>

#include "common/mstn/Automation.h"

namespace vtl::tarnwell {

// Sets up MicroStation's text editor for the run (2) and back (0).
inline constexpr char kTextEditorApplication[] = "MGDSHOOK";
inline constexpr char kTextEditorStyle[] = "userPrefsP->textEditorStyle";
// What saves the file at the end.
inline constexpr char kSaveKeyins[] = "compress;filedesign";
// The line that ends a file in the log: "Done", a line break and 66 minus signs.
std::string doneEvent();

// Error 1 "DGN file: '<path>' not exists" for a missing file; error 1 for a path holding a ";",
// which would end the "newfile" key-in there and start another.
void checkDesignFile(const std::string& dgn);
// Error 1 "Excel file not defined" for an empty path, "Directory to create excel file: '<path>'
// not exists" when the workbook's folder (the path up to its last "/", the whole path without
// one) does not exist.
void checkWorkbookFolder(const std::string& workbook);

// Walks the open file as MicroStation's element walk goes and hands every component of each text
// and text node to visit, in file order, handling pending window events every 50 ms.
// With rewrite, each such element is rewritten after its components; an element that grew moves
// to the end of the file, and the walk ends where the file ended when it began, so it never
// visits what it moved there.
void walkTexts(mstn::Element& element, const std::function<void(mstn::Element&)>& visit,
               bool rewrite);

// Replaces the texts of one design file in a MicroStation of its own: every text and text-node
// component whose text, level, colour and weight a row of the configuration table matches gets
// that row's replacement; the file is then compressed and saved. loadConfig loads the table
// from the workbook first. Errors are raised with "XLS2DGN" in front of their source;
// MicroStation is quit in every case.
void XLS2DGN(const std::string& workbook, const std::string& dgn, bool loadConfig);

}  // namespace vtl::tarnwell
