// Ends every stand-in MicroStation and waits until it is gone: a killed process leaves the
// process table, and its window the desktop, a moment after the kill, and a test that went on
// at once could find the dying one. Link vtl_process and vtl_desktop to use it.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "common/modProcess.h"
#include "mstn/Automation.h"
#include "platform/WindowSystem.h"

namespace vtl::test {

inline bool standInGone() {
    return !modProcess::IsAppRunning(mstn::kProcessImage) &&
           platform::windows().findByClass(mstn::kMainWindowClass) == 0;
}

// The result of the kill: true when a process was ended.
inline bool killStandIns() {
    const bool killed = modProcess::KillApp(mstn::kProcessImage, false);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!standInGone() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!standInGone()) ADD_FAILURE() << "a killed stand-in MicroStation is still there";
    return killed;
}

}  // namespace vtl::test
