// The key-ins of MDL applications: "MDL LOAD", "MDL UNLOAD" and "MDL COMMAND", the SELECTBY
// criteria, and the modal dialog an application has open, whose file list "MDL COMMAND
// MGDSHOOK,..." fills in.
#pragma once

#include <string>

namespace vtl::ustation {

class SessionApplication;

// The modal dialog an application has open (upper case); the file list of one that chooses a
// file.
struct ModalDialog {
    std::string application;
    std::string filter;
    std::string directory;
    std::string fileName;
};

// "MDL LOAD name", "MDL L name", "MDL UNLOAD name", "MDL U name", "MDL COMMAND hook,command arg":
// the key-in without its first word.
void runMdl(SessionApplication& session, const std::string& rest);
// "SELECTBY ...": the key-in without its first word.
void runSelectBy(SessionApplication& session, const std::string& rest);

}  // namespace vtl::ustation
