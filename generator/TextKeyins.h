// The key-ins that place texts: the active text settings, and one text at a point.
#pragma once

#include <string>
#include <string_view>

namespace vtl {

// Text settings as the configuration gives them; they go into the key-in as they stand.
struct TextSettings {
    std::string justification;
    std::string color;
    std::string level;
    std::string weight;
    std::string style;
    std::string size;
    std::string width;
    std::string font;
};

// "reset;ACTIVE TXJ <justification>;aa=0;co=<color>;lv=<level>;wt=<weight>;lc=<style>;
// tw=<width>;tx=<size>;tw=<width>;ft=<font>" (one string, no line break).
std::string textSettingsKeyin(const TextSettings& settings);
// The same from "ACTIVE TXJ" on; without the colour when withColor is false.
std::string activeTextKeyins(const TextSettings& settings, bool withColor = true);

// A text as a key-in can carry it: a ";" would end the text and send the rest as a key-in of
// its own, so it is placed as ",".
std::string keyinText(std::string_view text);

// "place text;<text>;xy=<point>" ("x,y" or "x,y,z").
std::string placeTextAt(std::string_view text, const std::string& point);

// "place text;<text>;xy=<x>,<y>" for a text read from an input file (single-byte Windows text).
std::string placeTextKeyin(std::string_view text, const std::string& x, const std::string& y);

}  // namespace vtl
