#include "common/mstnmacro.h"

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "core/Environment.h"
#include "core/Error.h"
#include "core/Files.h"

namespace vtl {

std::shared_ptr<mstn::Application> MSTNApp;

void sendKeyin(const std::string& keyin) {
    if (!MSTNApp) throw objectNotSet();
    MSTNApp->MbeSendCommand(keyin);
}

void sendKeyinsWithoutWaiting(const std::function<void()>& work) {
    // The object of the run may be replaced meanwhile; the waiting ends on the one posted to.
    const std::shared_ptr<mstn::Application> app = MSTNApp;
    if (app) {
        app->withoutWaiting(work);
    } else {
        work();
    }
}

namespace mstnmacro {

namespace {

namespace fs = std::filesystem;

void removeWithTwin(const fs::path& file) {
    fs::path twin = file.string().substr(0, file.string().size() - 1);
    for (const fs::path& path : {file, twin}) {
        if (fs::exists(path)) fs::remove(path);
    }
}

}  // namespace

void RunMSTNMacro(const std::string& code) {
    if (!MSTNApp) throw objectNotSet();
    const fs::path file = fs::path(env::tmpFolder()) / "macro.bas";
    removeWithTwin(file);
    files::writeFile(file, "Sub main\r\n" + code + "\r\nEnd Sub\r\n");
    try {
        sendKeyin("macro " + file.string());
    } catch (...) {
        // The macro file does not stay; the key-in's error, not a failed removal, goes on.
        try {
            removeWithTwin(file);
        } catch (...) {
        }
        throw;
    }
    removeWithTwin(file);
}

}  // namespace mstnmacro
}  // namespace vtl
