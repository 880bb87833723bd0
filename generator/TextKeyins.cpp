#include "TextKeyins.h"

#include "core/Text.h"

namespace vtl {

std::string textSettingsKeyin(const TextSettings& s) {
    return "reset;" + activeTextKeyins(s);
}

std::string activeTextKeyins(const TextSettings& s, bool withColor) {
    return "ACTIVE TXJ " + s.justification + ";aa=0" + (withColor ? ";co=" + s.color : "") +
           ";lv=" + s.level + ";wt=" + s.weight + ";lc=" + s.style + ";tw=" + s.width +
           ";tx=" + s.size + ";tw=" + s.width + ";ft=" + s.font;
}

std::string keyinText(std::string_view text) {
    return text::replaceAll(std::string(text), ";", ",");
}

std::string placeTextAt(std::string_view text, const std::string& point) {
    return "place text;" + keyinText(text) + ";xy=" + point;
}

std::string placeTextKeyin(std::string_view text, const std::string& x, const std::string& y) {
    return placeTextAt(text::ansiToUtf8(text), x + "," + y);
}

}  // namespace vtl
