#include "Variablen.h"

#include "common/mstnmacro.h"

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
