// The overview stamped into the iso drawings of the current header file: attached as a
// reference, its elements on the configured level copied in with a fence, the reference
// detached again; each stamped drawing is plotted when a network plot queue is chosen.
#pragma once

#include <string>
#include <vector>

namespace vtl {

class RunHost;
struct RunState;

// The key-ins that stamp the overview VtlFile into the open drawing and save it, in order.
std::vector<std::string> stampKeyins(const RunState& s);

// True for a plotter list text that names a network queue ("\\server\queue"): only such a queue
// plots.
bool isNetworkQueue(const std::string& plotter);

// Stamps every iso drawing of the current header file. A drawing that does not open is logged
// ("Error at file ", tagged with the drawing) and skipped in a fresh MicroStation; any other
// failure sets StepError and is raised with "VTLhineinkopieren" in its source.
void VTLhineinkopieren(RunHost& host);

}  // namespace vtl
