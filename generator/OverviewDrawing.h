// The overview drawing: the pipe runs of the current header file as line strings, and the marker
// cell at the centre of a small pipeline.
#pragma once

#include <string>

namespace vtl {

// Draws the runs of TopoTable into the design file open in MSTNApp; withCell adds the marker cell
// of the [Cell] settings when the pipeline's diagonal is below MinLineLength. Ends with the save.
// A failure sets StepError and is raised with "leitung_einzeichnen" in its source.
void leitung_einzeichnen(bool withCell);

}  // namespace vtl
