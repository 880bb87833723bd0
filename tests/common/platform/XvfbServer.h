// A private X server for one test, optionally with a window manager, so window tests neither
// need nor disturb the display the test suite runs under.
#pragma once

#include <sys/types.h>

#include <string>

#include "support/TempDir.h"

namespace vtl::test {

class XvfbServer {
  public:
    enum class Manager { Bare, Openbox };

    explicit XvfbServer(Manager manager = Manager::Bare);
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // The display name (":N"); "" when the server or its window manager did not come up.
    const std::string& display() const { return display_; }

  private:
    bool startServer();
    bool startOpenbox();

    TempDir home_;  // the window manager's settings and cache
    pid_t server_ = -1;
    pid_t manager_ = -1;
    std::string display_;
};

}  // namespace vtl::test
