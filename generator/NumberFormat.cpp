#include "NumberFormat.h"

#include <string>
#include <variant>

#include "RegistryModule.h"
#include "Variablen.h"

namespace vtl::NumberFormat {

namespace {

namespace reg = RegistryModule;

constexpr char kInternational[] = "Control Panel\\International";

std::string readSeparator(const char* name) {
    reg::RegData data = reg::RegGetValue(reg::HKEY_CURRENT_USER, kInternational, name, "", true);
    const std::string* text = std::get_if<std::string>(&data);
    return text ? *text : std::string();
}

void writeSeparator(const char* name, const std::string& value) {
    reg::RegSetValue(reg::HKEY_CURRENT_USER, kInternational, name, value, "");
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
