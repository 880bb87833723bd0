#include "NumberFormat.h"

#include <string>

#include "Variablen.h"
#include "common/RegistryModule.h"

namespace vtl::NumberFormat {

namespace {

namespace reg = RegistryModule;

constexpr char kInternational[] = "Control Panel\\International";

// A separator is one character, and a blank one (several locales group thousands so) is a
// separator all the same: it is read and written back untrimmed.
std::string readSeparator(const char* name) {
    return reg::RegGetUntrimmedString(reg::HKEY_CURRENT_USER, kInternational, name, "");
}

void writeSeparator(const char* name, const std::string& value) {
    reg::RegSetUntrimmedString(reg::HKEY_CURRENT_USER, kInternational, name, value, "");
}

}  // namespace

void setNumberSeparators() {
    RunState& s = Variablen();
    s.SavedDecimal = readSeparator("sDecimal");
    s.SavedThousand = readSeparator("sThousand");
    if (s.SavedDecimal != ".") writeSeparator("sDecimal", ".");
    if (s.SavedThousand != ",") writeSeparator("sThousand", ",");
}

void restoreNumberSeparators() {
    const RunState& s = Variablen();
    if (!s.SavedDecimal.empty() && s.SavedDecimal != ".") {
        writeSeparator("sDecimal", s.SavedDecimal);
    }
    if (!s.SavedThousand.empty() && s.SavedThousand != ",") {
        writeSeparator("sThousand", s.SavedThousand);
    }
}

}  // namespace vtl::NumberFormat
