// Parsing of an ISOGEN header file into the run tables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "HeaderData.h"
#include "LOGModule.h"

namespace vtl {

// Section titles, found case-insensitively anywhere in a line; the last such line counts.
inline constexpr const char* kTopoTitle = "Design file data sorted by topo";
inline constexpr const char* kIdfTitle = "Design file data in IDF order";

// Where the header file lies.
struct HeaderFile {
    // As selected, with its extension (".h", ".h1", ...).
    std::string HFile;
    // Its folder with a trailing separator.
    std::string isopath;
    // Its base name, without folder and extension.
    std::string IsoName;
};

// Header files are single-byte Windows (ANSI) text and are read byte for byte: HText, HLines and
// the tables hold their bytes, and a fixed column is a byte. Only what goes to the log or a
// message is converted to UTF-8.
//
// Parses header.HText into HLines, the section indexes and the three run tables, which are set
// up afresh first; a ".h1" header also reads its continuation files from its folder. Header
// units become drawing units by division by Unitfactor * 80. The topology dump goes to log when
// one is given. Every failure is raised.
void Hfile_zerlegen(HeaderData& header, const HeaderFile& file, int32_t Unitfactor,
                    const LogBlock& log);

// The same on the run state: its header file, Unitfactor and the run log.
void Hfile_zerlegen();

}  // namespace vtl
