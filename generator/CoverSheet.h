// The cover sheet of a pipeline: the running numbers of its free pipe ends in the overview
// drawing, and the cover sheet drawing made from its seed with a scaled copy of the overview and
// of the 3-D view's 2-D conversion.
#pragma once

namespace vtl {

class RunHost;

// Writes the number of every free pipe end (its LineEndTable row) at its place in the overview,
// which stays open. A failure sets StepError and is raised with "lineEndNumber" in its source.
void lineEndNumber(RunHost& host);

// Builds the cover sheet: the seed copied, the overview and (with the 3-D view option) the 2-D
// view attached as references, their contents copied in with a fence copy, both detached, the
// file saved and left open. A failure is logged, put on the error list as "<IcsFile> - Error
// occured", MicroStation restarted without a file, StepError set and error 1 raised with that
// description.
void IsoCoverSheet(RunHost& host);

}  // namespace vtl
