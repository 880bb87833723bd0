// Creates the stand-in's application object: the open design file, the active settings and the
// command state behind the key-ins.
#pragma once

#include <memory>

#include "Journal.h"
#include "StandIn.h"

namespace vtl::ustation {

std::unique_ptr<StandInApplication> createSession(Journal& journal);

}  // namespace vtl::ustation
