// Plotting a drawing through the IPLOT command line: a copy of the plot parameter file per plot,
// set to the chosen queue and the drawing, then the metafile generated and submitted.
#pragma once

#include <string>
#include <vector>

namespace vtl {

// The plot name of a drawing: its file name without folder, trimmed of blanks; a name ending
// in "ics" (exact case) gets "_000" in place of its last four characters, any other "_0" and its
// last two characters ("A-100.i03" gives "A-100_003", "A-100.ics" "A-100_000").
std::string plotName(const std::string& file);

// One command of a plot and whether its output goes into the run log.
struct PlotCommand {
    std::string command;
    bool logged = true;
    bool operator==(const PlotCommand&) const = default;
};

// The commands that plot the file on the queue with a copy (parmCopy) of the parameter file
// parmFile, in order. Every path and the queue stand in double quotes, so a blank cannot split
// them and "del" cannot take a second file.
std::vector<PlotCommand> plotCommands(const std::string& file, const std::string& queue,
                                      const std::string& parmFile, const std::string& parmCopy);

// Plots the file on the queue (the text of the plotter list) with a copy of IParmfile in TMP
// named after the plot. A failing command does not stop the others, and its output is in the
// log; the first one that failed is named, with the drawing, in the error list ("Not plotted:
// <command> - exit code <n>") and the run reports errors. Any other failure sets StepError and
// is raised with "iplotiso" in its source.
void iplotiso(const std::string& file, const std::string& queue);

}  // namespace vtl
