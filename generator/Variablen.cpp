#include "Variablen.h"

#include "mstnmacro.h"

namespace vtl {

RunState& Variablen() {
    static RunState state;
    return state;
}

void resetRunState() {
    Variablen() = RunState{};
    MSTNApp.reset();
}

}  // namespace vtl
