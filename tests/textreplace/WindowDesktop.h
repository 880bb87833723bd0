// The private desktop of the tool's window tests: one X server and one application for the whole
// test program, with the tool's title.
#pragma once

#include "core/Error.h"
#include "platform/XvfbDesktop.h"

namespace vtl::tarnwell::test {

class WindowDesktop : public vtl::test::XvfbDesktop {
public:
    WindowDesktop() : XvfbDesktop("tarnwell") {}
    void SetUp() override {
        XvfbDesktop::SetUp();
        setProgramTitle("Tarnwell");
    }
};

[[maybe_unused]] inline ::testing::Environment* const desktop =
    ::testing::AddGlobalTestEnvironment(new WindowDesktop);

}  // namespace vtl::tarnwell::test
