// The main program's run state, shared by the main window, its modules and the wizard.
#pragma once

#include "ConfigData.h"
#include "HeaderData.h"

namespace vtl {

struct RunState : ConfigData, HeaderData {
};

// The one run state of the program.
RunState& Variablen();

}  // namespace vtl
