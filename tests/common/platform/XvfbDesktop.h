// A desktop for a whole test program: one private X server and one QApplication on it, both ended
// before the program's static objects go. Register it once per program:
//   ::testing::AddGlobalTestEnvironment(new XvfbDesktop("name"))
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <memory>
#include <string>

#include "platform/XvfbServer.h"
#include "support/TempDir.h"

namespace vtl::test {

class XvfbDesktop : public ::testing::Environment {
public:
    // programName: the application's argv[0].
    explicit XvfbDesktop(std::string programName) : name_(std::move(programName)) {}

    // True once the server and the application are up; a test without them skips.
    static bool ready() { return app_ != nullptr; }

    void SetUp() override {
        server_ = std::make_unique<XvfbServer>();
        if (server_->display().empty()) return;
        display_ = std::make_unique<ScopedEnv>("DISPLAY", server_->display());
        platform_ = std::make_unique<ScopedEnv>("QT_QPA_PLATFORM", "xcb");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override {
        app_.reset();
        platform_.reset();
        display_.reset();
        server_.reset();
    }

private:
    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<ScopedEnv> display_, platform_;
    std::string name_;
    int argc_ = 1;
    char* argv_[2] = {name_.data(), nullptr};
    static inline std::unique_ptr<QApplication> app_;
};

}  // namespace vtl::test
