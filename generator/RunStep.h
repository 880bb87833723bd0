// The frame of a drawing step of the run: a failure sets StepError, so the run driver skips the
// remaining steps of the header file, and goes on with the step's name in front of its source.
#pragma once

#include <exception>
#include <utility>

#include "Variablen.h"
#include "core/Error.h"

namespace vtl {

template <class Body>
void runStep(const char* name, Body&& body) {
    try {
        std::forward<Body>(body)();
    } catch (...) {
        Variablen().StepError = true;
        throw passOnMethod(toError(std::current_exception()), name);
    }
}

}  // namespace vtl
