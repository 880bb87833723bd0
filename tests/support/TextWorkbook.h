// Workbook files of text cells for tests, written by the workbook writer the programs use.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vtl::test {

// Writes a one-sheet workbook, row 1 first; an empty text leaves its cell empty.
std::filesystem::path writeTextWorkbook(const std::filesystem::path& file,
                                        const std::vector<std::vector<std::string>>& rows);

}  // namespace vtl::test
