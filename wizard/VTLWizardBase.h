// The wizard's procedures around its MicroStation previews: the extent of the open drawing, the
// colour table, and a working copy of a drawing with its reference files; and the numbers the
// pages share.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "mstn/Automation.h"

namespace vtl::VTLWizardBase {

// Drawing units per unit of the position bars, horizontally and vertically, and per unit of
// the sample grid's width.
extern double xstep;
extern double ystep;
extern double gridstep;

// An extent in drawing units, in the order the procedures pass them.
struct Extent {
    double xmax = 0;
    double xmin = 0;
    double ymax = 0;
    double ymin = 0;
    bool operator==(const Extent&) const = default;
};
// The extent of the overview seed's working copy, measured on every page change.
extern Extent seedExtent;

// Measures the drawing open in the application: every element with end points of the master
// file and of each displayed, found, active reference. The first such element sets all four
// values; without one they stay as passed in. Any failure sets them to 0 and raises error 1,
// source "GetDGNFileLimits".
void GetDGNFileLimits(double& xmax, double& xmin, double& ymax, double& ymin,
                      mstn::Application& application);

struct ColorRecord {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const ColorRecord&) const = default;
};

// Reads a colour table file of 3-byte records into table: record k at index k, and one more
// entry after the last whole record holding what is left of the file. Any failure leaves the
// table empty (no index) and raises error 1, source "GetColorTable"; a missing file says
// "Color Table file: '<file>' not found". A file too long for a 16-bit record count overflows.
void GetColorTable(const std::string& file, std::vector<ColorRecord>& table);

// How long a MicroStation told "exit" may take to end before the wizard goes on.
inline constexpr int64_t kExitTimeoutMs = 30000;

// Gives the MicroStation to work with (the wizard attaches or starts it).
using Attach = std::function<std::shared_ptr<mstn::Application>()>;

// Copies the file into the folder under its own name, and every active, found, displayed
// reference file it has attached beside it (through the command interpreter). The references
// are read in MicroStation, which is told "exit" at the end, also after a failure. Failures
// raise error 1 with their description; a missing file fails before MicroStation is touched
// with "File to copy: '<file>' not exists".
void CopyDGNWithRefFiles(const std::string& file, const std::string& folder, const Attach& attach);

}  // namespace vtl::VTLWizardBase
