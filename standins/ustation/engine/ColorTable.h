// The colour table the stand-in ships: 256 entries of red, green and blue bytes, index 0 first,
// as MicroStation's colour table files hold them.
#pragma once

#include <QColor>
#include <array>
#include <filesystem>

namespace vtl::ustation {

using ColorTable = std::array<QColor, 256>;

// The built-in palette: the classic eight at the start, shaded hues after them, black last.
const ColorTable& defaultColorTable();

// The data folder of the stand-in in the platform home (created when missing).
std::filesystem::path dataFolder();

// The shipped colour table file in the data folder, written from the built-in palette when it
// is missing.
std::filesystem::path colorTableFile();

// The table in use: the shipped file when it reads as a whole table, else the built-in one.
ColorTable activeColorTable();

}  // namespace vtl::ustation
