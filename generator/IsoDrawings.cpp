#include "IsoDrawings.h"

#include <algorithm>

#include "core/Wildcard.h"

namespace vtl {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// ".i1a" and ".idf" match the pattern but are no sheets.
bool endsInTwoDigits(const std::string& name) {
    return name.size() >= 2 && isDigit(name[name.size() - 1]) && isDigit(name[name.size() - 2]);
}

}  // namespace

std::vector<std::string> isoDrawingNames(const std::string& folder, const std::string& isoName) {
    std::vector<std::string> names = wildcard::list(folder, isoName + ".i??");
    std::erase_if(names, [](const std::string& name) { return !endsInTwoDigits(name); });
    return names;
}

}  // namespace vtl
