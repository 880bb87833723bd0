#include "MdlApplications.h"

#include <cctype>

#include "Keyins.h"
#include "SessionApplication.h"
#include "core/Text.h"

namespace vtl::ustation {

namespace {

// The first word of a key-in (lower case) and the rest as written.
std::pair<std::string, std::string> firstWord(const std::string& keyin) {
    const std::string trimmed = text::trimSpace(keyin);
    size_t end = 0;
    while (end < trimmed.size() && !std::isspace(static_cast<unsigned char>(trimmed[end]))) ++end;
    return {text::lower(trimmed.substr(0, end)), text::trimSpace(trimmed.substr(end))};
}

// "MGDSHOOK,fileList_setFileNameCmd NAME" and its kin set a field of the open file dialog.
void fileListCommand(SessionApplication& session, const std::string& command) {
    auto [name, argument] = firstWord(command);
    std::optional<ModalDialog>& dialog = session.modalDialog();
    if (!dialog) {
        session.journal().note("no file dialog is open for MDL COMMAND " + command);
        return;
    }
    if (name == "mgdshook,filelist_setfiltercmd") {
        dialog->filter = argument;
    } else if (name == "mgdshook,filelist_setdirectorycmd") {
        dialog->directory = argument;
    } else if (name == "mgdshook,filelist_setfilenamecmd") {
        dialog->fileName = argument;
    } else {
        session.journal().unknownKeyin("MDL COMMAND " + command);
    }
}

}  // namespace

void runMdl(SessionApplication& session, const std::string& rest) {
    auto [verb, argument] = firstWord(rest);
    if (verb == "l" || verb == "load") {
        session.loadApplication(argument);
    } else if (verb == "u" || verb == "unload") {
        session.unloadApplication(argument);
    } else if (verb == "command") {
        fileListCommand(session, argument);
    } else {
        session.journal().unknownKeyin("MDL " + rest);
    }
}

void runSelectBy(SessionApplication& session, const std::string& rest) {
    if (!session.selectBy().loaded()) {
        session.journal().note("key-in ignored, SELECTBY is not loaded: SELECTBY " + rest);
        return;
    }
    if (phraseOf(rest) == "execute") {
        session.selectMatching();
        return;
    }
    if (std::optional<std::string> refused = session.selectBy().set(rest)) {
        session.journal().note("key-in ignored, " + *refused + ": SELECTBY " + rest);
    }
}

}  // namespace vtl::ustation
