#include "PreviewKeyins.h"

#include <cstdlib>

#include "core/Error.h"
#include "core/Numbers.h"
#include "mstn/KeyinValue.h"

namespace vtl::wizard::preview {

std::string scaleText(int value) {
    const std::string distance = std::to_string(std::abs(100 - value));
    return (value > 100 ? distance : "1") + ":" + (value < 100 ? distance : "1");
}

std::string afterColon(const std::string& panel) {
    const size_t colon = panel.rfind(": ");
    return colon == std::string::npos ? panel : panel.substr(colon + 2);
}

std::string point(double x, double y) {
    return num::text(x) + "," + num::text(y);
}

std::string attachReference(const std::string& file, const std::string& name,
                            const std::string& description, const std::string& view,
                            const std::string& scale, const std::string& at) {
    return "RF=" + file + "," + name + ";" + description + ";" + view + ";" + scale + ";XY=" + at;
}

std::array<std::string, 2> scratchClearing(const std::string& level) {
    return {"NULL;LV=" + level + ";OF=1-63;SELVIEW ALL;ON=" + level + ";SELVIEW ALL;",
            "LOCK FENCE OVERLAP;PLACE FENCE ALLFILES;SELVIEW ALL;FENCE DELETE;DX=0;ON=1-63;"
            "SELVIEW ALL;PLACE FENCE;NULL"};
}

std::string symbology(const std::string& colour, const std::string& level, const std::string& style,
                      const std::string& weight) {
    return "NULL;CO=" + colour + ";LV=" + level + ";LC=" + style + ";WT=" + weight;
}

std::string sampleText(const std::string& scratch, const std::string& at,
                       const std::string& level) {
    return "NULL;LV=" + scratch + ";PLACE TEXT;1;XY=" + at + ";LV=" + level + ";NULL";
}

std::string deleteElementAt(const std::string& at) {
    return "NULL;DELETE ELEMENT;XY=" + at + ";DX=0";
}

const std::string& keyinSafe(const std::string& text, const std::string& what) {
    return mstn::keyinSafe(text, what);
}

}  // namespace vtl::wizard::preview
