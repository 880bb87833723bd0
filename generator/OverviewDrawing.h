// The overview drawing: the pipe runs of the current header file as line strings, and the marker
// cell at the centre of a small pipeline.
#pragma once

#include <string>

namespace vtl {

// Sends a key-in to the MicroStation in MSTNApp; error 91 when none is attached.
void sendKeyin(const std::string& keyin);

// Draws the runs of TopoTable into the design file open in MSTNApp; withCell adds the marker cell
// of the [Cell] settings when the pipeline's diagonal is below MinLineLength. Ends with the save.
// A failure sets StepError and is raised with "leitung_einzeichnen" in its source.
void leitung_einzeichnen(bool withCell);

}  // namespace vtl
