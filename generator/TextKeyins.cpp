#include "TextKeyins.h"

#include "core/Text.h"

namespace vtl {

std::string textSettingsKeyin(const TextSettings& s) {
    return "reset;ACTIVE TXJ " + s.justification + ";aa=0;co=" + s.color + ";lv=" + s.level +
           ";wt=" + s.weight + ";lc=" + s.style + ";tw=" + s.width + ";tx=" + s.size +
           ";tw=" + s.width + ";ft=" + s.font;
}

std::string placeTextKeyin(std::string_view text, const std::string& x, const std::string& y) {
    const std::string placed = text::replaceAll(text::ansiToUtf8(text), ";", ",");
    return "place text;" + placed + ";xy=" + x + "," + y;
}

}  // namespace vtl
