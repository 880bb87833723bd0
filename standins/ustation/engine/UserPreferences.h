// The user preferences the preference application "USERPREF" keeps, set through its variables
// ("savePrefs.locateTol") while it is loaded.
#pragma once

#include <string>

namespace vtl::ustation {

struct UserPreferences {
    // How far from an element, in pixels of the view, a data point still identifies it.
    int locateTolerance = 10;
    // An edited text node that is left without text stays as an empty node.
    bool preserveTextNodes = true;
};

// Sets the preference a USERPREF variable names; false for a variable it does not know or a
// value the preference cannot take.
bool setUserPreference(UserPreferences& preferences, const std::string& variable, double value);

}  // namespace vtl::ustation
