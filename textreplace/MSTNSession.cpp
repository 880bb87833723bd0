#include "textreplace/MSTNSession.h"

#include "common/modProcess.h"
#include "core/Error.h"

namespace vtl::tarnwell {

bool IsExeExisting(const std::string& exeName, int32_t& pid) {
    try {
        return modProcess::IsAppRunning(exeName, &pid);
    } catch (...) {
        throw passOnMethod(toError(std::current_exception()), "IsExeExisting");
    }
}

void QuitApplication(std::shared_ptr<mstn::Application>& application) {
    try {
        if (application) application->Quit();
    } catch (...) {
        // A MicroStation that is gone already has nothing left to quit.
    }
    application.reset();
}

}  // namespace vtl::tarnwell
