// The texts the previews show and the key-ins they send, built from the values of the controls.
#pragma once

#include <array>
#include <string>

namespace vtl::wizard::preview {

// The scale "M:R" a scale bar's value stands for: 102 is 2:1, 93 is 1:7; 99 to 101 are 1:1.
std::string scaleText(int value);

// The part of a status panel after its last ": ", the whole text when it has none.
std::string afterColon(const std::string& panel);

// "x,y" of two numbers.
std::string point(double x, double y);

// "RF=<file>,<name>;<description>;<view>;<scale>;XY=<point>".
std::string attachReference(const std::string& file, const std::string& name,
                            const std::string& description, const std::string& view,
                            const std::string& scale, const std::string& at);

// Deletes every element on the level: only it shown, a fence over the whole view deletes what
// it touches, then all levels shown again.
std::array<std::string, 2> scratchClearing(const std::string& level);

// "NULL;CO=<colour>;LV=<level>;LC=<style>;WT=<weight>".
std::string symbology(const std::string& colour, const std::string& level, const std::string& style,
                      const std::string& weight);

// The text "1" at the point on the scratch level, the chosen level active again afterwards.
std::string sampleText(const std::string& scratch, const std::string& at, const std::string& level);

// Deletes the element the point identifies.
std::string deleteElementAt(const std::string& at);

// A typed text that goes into a key-in as it stands: one holding a ";" would send the rest as
// key-ins of their own, and is refused with error 1.
const std::string& keyinSafe(const std::string& text, const std::string& what);

}  // namespace vtl::wizard::preview
