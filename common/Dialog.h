// The file dialog of the support library: the platform's open and save dialogs with a filter of
// the form "description|pattern|description|pattern".
#pragma once

#include <optional>
#include <string>

namespace vtl {

class Dialog {
  public:
    // The chosen existing file, "" on cancel. Without a filter every file is offered ("Alle
    // Dateien (*.*)|*.*"); without a start folder the dialog starts in the current folder.
    std::string OpenFile(const std::optional<std::string>& filter = std::nullopt,
                         const std::optional<std::string>& initialDir = std::nullopt);
    // The chosen file name, "" on cancel; defaultName is the name the dialog proposes.
    std::string SaveFile(const std::optional<std::string>& defaultName = std::nullopt,
                         const std::optional<std::string>& filter = std::nullopt,
                         const std::optional<std::string>& initialDir = std::nullopt);
};

// The program's one file dialog, created on first use.
Dialog& FileDialog();

}  // namespace vtl
