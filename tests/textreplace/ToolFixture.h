// What the tests of the text replacement tool share: the tool's identity pointing to a program
// folder of the test (with a stand-in Tarnwell.exe and its settings file), TEMP a folder of the
// test, and the events the tool writes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/INIFileModule.h"
#include "support/TempDir.h"
#include "textreplace/App.h"
#include "textreplace/Events.h"
#include "textreplace/LOGModule.h"

namespace vtl::tarnwell::test {

using vtl::test::ScopedEnv;
using vtl::test::TempDir;

class ScopedTool {
public:
    ScopedTool() : saved_(App()) {
        std::filesystem::create_directories(bin());
        std::filesystem::create_directories(temp());
        dir.write("bin/Tarnwell.exe", "12345");
        App() = AppInfo{"Tarnwell", "Tarnwell", bin()};
        setEventSink([this](const std::string& line) {
            events.push_back(line.substr(line.find('\t') + 1));
        });
    }
    ~ScopedTool() {
        App() = saved_;
        setEventSink(nullptr);
        LOGModule::setNowSource(nullptr);
    }
    ScopedTool(const ScopedTool&) = delete;
    ScopedTool& operator=(const ScopedTool&) = delete;

    std::filesystem::path bin() const { return dir / "bin"; }
    std::filesystem::path temp() const { return dir / "temp"; }
    std::string ini() const { return (bin() / "Tarnwell.ini").string(); }
    std::string setting(const char* key, const char* section = "Tarnwell") const {
        return INIFileModule::ReadINI(ini(), section, key, "<missing>");
    }

    TempDir dir;
    std::vector<std::string> events;

private:
    AppInfo saved_;
    ScopedEnv tempEnv_{"TEMP", temp().string()};
};

}  // namespace vtl::tarnwell::test
