#include "textreplace/App.h"

#include "common/FileOperationModule.h"
#include "core/Environment.h"

namespace vtl::tarnwell {

AppInfo& App() {
    static AppInfo app{"Tarnwell", FileOperationModule::GetFileBaseName(env::programFile()),
                       env::programFolder()};
    return app;
}

std::string GetIniFileName() {
    return (App().path / (App().exeName + ".ini")).string();
}

}  // namespace vtl::tarnwell
