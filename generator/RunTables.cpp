#include "RunTables.h"

#include "core/Error.h"

namespace vtl {

void raiseSubscriptOutOfRange() {
    throw Error(kSubscriptOutOfRange, "", "Subscript out of range");
}

}  // namespace vtl
