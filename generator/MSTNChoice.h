// The choice of the MicroStation installation that runs start: the entries of the choice box
// and the executable an entry names.
#pragma once

#include <string>
#include <vector>

#include "common/modMSTN.h"

namespace vtl::MSTNChoice {

// The entry of an installation: "(" & Version & ") " & PathName.
std::string entryOf(const modMSTN::MSTNInstall& install);

// The executable an entry names, trimmed: an installation entry gives the path after its
// "(version)" prefix; any other text (a path chosen with Browse..., which may hold parentheses
// itself, as in "Program Files (x86)") is the path.
std::string pathOf(const std::string& entry);

struct Choice {
    std::vector<std::string> entries;
    // The entry to show: the installation at the wanted path (ignoring case), else the last
    // one of a 07 version, else the first; "" without installations.
    std::string selected;
};

// The entries of the installations that have a path, in the order given.
Choice choose(const std::vector<modMSTN::MSTNInstall>& installs, const std::string& wantedPath);

// The folder where Browse... starts for the box's text: the folder of the executable it names,
// with its trailing separator; "" when the text names none.
std::string browseFolder(const std::string& boxText);

}  // namespace vtl::MSTNChoice
