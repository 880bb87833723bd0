// The plot command line, as the main program runs it on a copy of the plot parameter file:
//   iplot modify -queue=QUEUE PARMFILE      the queue the plot goes to
//   iplot modify -design=DESIGN PARMFILE    the design file to plot
//   iplot modify -detach[iplot_all] PARMFILE  plot without the design's references
//   iplot generate PARMFILE                 the plot metafile beside PARMFILE (extension .m)
//   iplot submit PARMFILE                   the metafile into the queue's folder, as NAME.png
// Every command is journaled in iplot-journal.log in the platform home.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vtl::iplot {

// Exit codes: done, failed (a message says why), not a command line the plot command knows.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

// Runs one command line, given without the program name; messages go to out and err.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vtl::iplot
