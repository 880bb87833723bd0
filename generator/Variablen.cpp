#include "Variablen.h"

#include "mstnmacro.h"

namespace vtl {

RunState& Variablen() {
    static RunState state;
    return state;
}

void resetRunState() {
    // The fresh state is built on the heap: the run tables are too large for the stack.
    auto fresh = std::make_unique<RunState>();
    Variablen() = std::move(*fresh);
    MSTNApp.reset();
}

}  // namespace vtl
