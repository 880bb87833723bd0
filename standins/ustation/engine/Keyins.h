// The text form of key-ins: a key-in string split into its key-ins, command phrases compared
// without regard to case or repeated blanks, and the point lists of "xy=" and "dx=".
#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mstn/Automation.h"

namespace vtl::ustation {

// The key-ins of one string, split at ";" and trimmed; empty ones are dropped.
std::vector<std::string> splitKeyins(std::string_view keyins);

// The command words of a key-in: lower case, runs of blanks as one blank.
std::string phraseOf(std::string_view keyin);

// A key-in of the form "name=value": the name in lower case and the value as written.
struct Assignment {
    std::string name;
    std::string value;
};
std::optional<Assignment> assignmentOf(std::string_view keyin);

// "X,Y[,Z]" with "." as decimal point; missing coordinates are 0 ("dx=0" is the point 0,0).
// Nothing when a coordinate is not a number or more than three are given.
std::optional<mstn::Point> parsePoint(std::string_view list);

// Levels as key-ins list them: "3", "1-63", or several joined by ","; bit n stands for level n.
// Nothing unless every level lies from 1 to 63.
std::optional<std::bitset<64>> parseLevels(std::string_view list);

}  // namespace vtl::ustation
