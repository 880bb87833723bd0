// The active settings new elements take: level, symbology, text size, the next node number, and
// the cell placed by a data point with its library and scale.
#pragma once

#include <array>
#include <string>

namespace vtl::ustation {

struct ActiveSettings {
    int level = 1;
    int color = 0;
    int weight = 0;
    int style = 0;
    int nodeNumber = 1;
    // Text height and width in master units, the angle of new texts in degrees counterclockwise,
    // the font, and the justification by V7's code (2: left bottom).
    double textHeight = 1;
    double textWidth = 1;
    double angle = 0;
    int font = 0;
    int justification = 2;
    // The attached cell library (a full path, "" when none), the active cell's name as keyed in
    // (the library may lack it) and the active scale in x, y and z.
    std::string cellLibrary;
    std::string cell;
    std::array<double, 3> scale{1, 1, 1};
};

// The whole-number settings with their ranges: the name a key-in sets ("lv=5") and the key a
// saved design file keeps the value under.
struct WholeSetting {
    const char* keyin;
    const char* stored;
    int low;
    int high;
    int ActiveSettings::*member;
};

inline constexpr WholeSetting kWholeSettings[] = {
    {"lv", "level", 1, 63, &ActiveSettings::level},
    {"co", "color", 0, 255, &ActiveSettings::color},
    {"wt", "weight", 0, 31, &ActiveSettings::weight},
    {"lc", "style", 0, 7, &ActiveSettings::style},
    {"nn", "node", 0, 65535, &ActiveSettings::nodeNumber},
    {"ft", "font", 0, 255, &ActiveSettings::font},
};

// The decimal settings: text sizes, which must be positive, and the angle.
struct DecimalSetting {
    const char* keyin;
    bool positive;
    void (*apply)(ActiveSettings&, double);
};

inline constexpr DecimalSetting kDecimalSettings[] = {
    // "tx" sets height and width alike; "th" and "tw" each one of them.
    {"tx", true, [](ActiveSettings& s, double v) { s.textHeight = s.textWidth = v; }},
    {"th", true, [](ActiveSettings& s, double v) { s.textHeight = v; }},
    {"tw", true, [](ActiveSettings& s, double v) { s.textWidth = v; }},
    {"aa", false, [](ActiveSettings& s, double v) { s.angle = v; }},
};

}  // namespace vtl::ustation
