#include "MSTNChoice.h"

#include "core/Text.h"

namespace vtl::MSTNChoice {

std::string entryOf(const modMSTN::MSTNInstall& install) {
    return "(" + install.Version + ") " + install.PathName;
}

std::string pathOf(const std::string& entry) {
    const std::string text = text::trim(entry);
    const size_t close = text.find(')');
    if (!text.starts_with('(') || close == std::string::npos) return text;
    return text::trim(std::string_view(text).substr(close + 1));
}

Choice choose(const std::vector<modMSTN::MSTNInstall>& installs, const std::string& wantedPath) {
    Choice choice;
    std::string preferred;
    const bool wanted = !text::trim(wantedPath).empty();
    for (const modMSTN::MSTNInstall& install : installs) {
        if (text::trim(install.PathName).empty()) continue;
        const std::string entry = entryOf(install);
        choice.entries.push_back(entry);
        if (install.Version.starts_with("07.")) preferred = entry;
        if (wanted && text::iequals(install.PathName, wantedPath)) choice.selected = entry;
    }
    if (choice.selected.empty()) choice.selected = preferred;
    if (choice.selected.empty() && !choice.entries.empty()) choice.selected = choice.entries[0];
    return choice;
}

std::string browseFolder(const std::string& boxText) {
    const std::string path = pathOf(boxText);
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : text::trim(path.substr(0, slash + 1));
}

}  // namespace vtl::MSTNChoice
