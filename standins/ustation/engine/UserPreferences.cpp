#include "UserPreferences.h"

#include <cmath>

namespace vtl::ustation {

bool setUserPreference(UserPreferences& preferences, const std::string& variable, double value) {
    if (variable == "savePrefs.locateTol") {
        if (!(value >= 0 && value <= 100) || value != std::floor(value)) return false;
        preferences.locateTolerance = static_cast<int>(value);
        return true;
    }
    if (variable == "savePrefs.moreFlags.preserveTextNodes") {
        preferences.preserveTextNodes = value != 0;
        return true;
    }
    return false;
}

}  // namespace vtl::ustation
