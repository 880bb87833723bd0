// Node texts from a workbook: each iso drawing of the current header file that has a row in the
// node-text workbook gets the texts of that row written into its text nodes, by node number.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mstn/Automation.h"

namespace vtl {

// How the node filling attaches a MicroStation (the run's chosen one; tests give a fake).
using AttachMicroStation = std::function<std::shared_ptr<mstn::Application>()>;

// The key-ins and calls that refill text node n at MSTNPoint with text: the old node's settings
// taken, the node deleted, an empty one of the same number placed there and its text entered.
void refillNode(int32_t n, const std::string& text);

// Ends the run's MicroStation, fills the iso drawings of the current header file from the
// workbook in a MicroStation of its own, and attaches a fresh one for the steps that follow. A
// failure sets StepError and is raised with "startPellmark" in its source.
void startPellmark(const std::string& excelPath, const AttachMicroStation& attach);

// Fills the drawings (full paths) from the workbook, with progress lines in the run log. The
// workbook is taken from its file and neither saved nor closed; MicroStation is told "exit" at
// the end, also after a failure, which is raised with "runfill" in its source.
void runfill(const std::string& excelPath, const std::vector<std::string>& files,
             const AttachMicroStation& attach);

}  // namespace vtl
