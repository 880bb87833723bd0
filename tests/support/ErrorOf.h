// The error a statement raises, for tests that check its number, source and description.
#pragma once

#include <functional>

#include "core/Error.h"

namespace vtl::test {

// The Error the statement raises; number 0 "no error" when it raises none.
inline Error errorOf(const std::function<void()>& statement) {
    try {
        statement();
    } catch (const Error& e) {
        return e;
    }
    return Error(0, "", "no error");
}

}  // namespace vtl::test
