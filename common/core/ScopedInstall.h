// Installing a test's own backend (clock, processes, shell, dialogs, windows) for one scope.
#pragma once

namespace vtl {

// Installs a backend through its setter when made and brings the default back (the setter
// given nullptr) at the end of the scope.
template <class Backend, void (*install)(Backend*)>
class ScopedInstall {
  public:
    explicit ScopedInstall(Backend& backend) { install(&backend); }
    ~ScopedInstall() { install(nullptr); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;
};

}  // namespace vtl
