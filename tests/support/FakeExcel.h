// Excel for the tests of its callers: instances over real workbook files that record their calls
// in one journal, and an installation that can be missing.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "workbook/ExcelFile.h"

namespace vtl::test {

class FakeExcel {
public:
    // Every instance's calls, in order; a creation adds "CreateObject Excel.Application".
    std::vector<std::string> journal;
    // False: creating an instance fails with error 429, as without an Excel installation.
    bool installed = true;

    std::unique_ptr<excel::Application> create();
};

}  // namespace vtl::test
