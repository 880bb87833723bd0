// The iso drawings of a header file: ISOGEN writes one per sheet beside the header file, named
// after its base name with the extensions ".i01", ".i02" and onwards.
#pragma once

#include <string>
#include <vector>

namespace vtl {

// The names (without folder) of the iso drawings of base name isoName in the folder: the files
// matching isoName & ".i??" whose last two characters are digits, sorted as the folder listing
// sorts them, so that every run takes them in the same order.
std::vector<std::string> isoDrawingNames(const std::string& folder, const std::string& isoName);

}  // namespace vtl
