// The key-ins the stand-in knows: command phrases ("place lstring", "newfile PATH") and
// settings of the form "name=value" ("xy=1,2", "lv=5").
#pragma once

#include <string>

namespace vtl::ustation {

class SessionApplication;

// Runs a key-in the table knows; false for any other key-in.
bool runKnownKeyin(SessionApplication& session, const std::string& keyin);

}  // namespace vtl::ustation
