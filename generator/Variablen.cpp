#include "Variablen.h"

namespace vtl {

RunState& Variablen() {
    static RunState state;
    return state;
}

}  // namespace vtl
