// Excel over workbook files: the instance a program creates and the workbook object taken from
// a file path. Each workbook is read whole when opened and written whole when saved.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "workbook/Excel.h"

namespace vtl::excel {

// A new instance ("Excel.Application"). With a journal, every call that changes something or
// reaches a file appends a line to it, such as "Workbooks.Open /a/b.xls" or
// "Range(A1:E1).Font.Bold = True".
std::unique_ptr<Application> createApplication(std::vector<std::string>* journal = nullptr);

// The workbook of a file, opened in an instance of its own; raises as Workbooks.Open does.
WorkbookPtr openWorkbookObject(const std::string& path);

}  // namespace vtl::excel
