#include "common/Dialog.h"

#include <filesystem>
#include <system_error>

#include "platform/FileDialogs.h"

namespace vtl {

namespace {

constexpr const char* kDefaultFilter = "Alle Dateien (*.*)|*.*";

platform::FileDialogRequest requestFor(platform::FileDialogRequest::Kind kind,
                                       const std::optional<std::string>& filter,
                                       const std::optional<std::string>& initialDir) {
    platform::FileDialogRequest request;
    request.kind = kind;
    request.filters = platform::parseFileFilter(filter.value_or(kDefaultFilter));
    if (initialDir) {
        request.initialDir = *initialDir;
    } else {
        std::error_code ignored;
        request.initialDir = std::filesystem::current_path(ignored).string();
    }
    return request;
}

}  // namespace

std::string Dialog::OpenFile(const std::optional<std::string>& filter,
                             const std::optional<std::string>& initialDir) {
    return platform::fileDialogs().show(
        requestFor(platform::FileDialogRequest::Kind::Open, filter, initialDir));
}

std::string Dialog::SaveFile(const std::optional<std::string>& defaultName,
                             const std::optional<std::string>& filter,
                             const std::optional<std::string>& initialDir) {
    platform::FileDialogRequest request =
        requestFor(platform::FileDialogRequest::Kind::Save, filter, initialDir);
    request.defaultName = defaultName.value_or(std::string());
    return platform::fileDialogs().show(request);
}

Dialog& FileDialog() {
    static Dialog dialog;
    return dialog;
}

}  // namespace vtl
