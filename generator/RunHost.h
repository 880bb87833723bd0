// What the run driver needs of the main window beyond the run state (where the option boxes keep
// their values): the chosen MicroStation, the window check, and the window's state during a run.
// The window implements it; tests drive the driver with a fake.
#pragma once

#include <string>

namespace vtl {

class RunHost {
public:
    virtual ~RunHost() = default;

    // The text of the workbook box (`excelfile`).
    virtual std::string excelFileText() = 0;
    // The text of the plotter box (`cboIplotset`).
    virtual std::string plotterText() = 0;
    // The MicroStation executable to start (`VTL.GetMSTNPath`).
    virtual std::string GetMSTNPath() = 0;
    // True when the title of a top-level window contains the text, ignoring case.
    virtual bool Window_exist(const std::string& text) = 0;
    // The window during a run: busy (hourglass, controls that would change the run disabled)
    // or idle again.
    virtual void setRunning(bool running) = 0;
    // The run's closing message box (OK, no icon, the program's title).
    virtual void showRunMessage(const std::string& text) = 0;
};

}  // namespace vtl
