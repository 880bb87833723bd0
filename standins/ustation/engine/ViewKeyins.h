// The view key-ins: views switched on and off, turned to a standard direction, fitted, saved
// under a name, their level display ("on=", "of=") and their weight and fill display.
#pragma once

#include <string>

namespace vtl::ustation {

class SessionApplication;

// "view on 1", "view off all", or "view iso" (a view command turning the selected views).
void viewKeyin(SessionApplication& session, const std::string& rest);
// "fit all": fits the selected views around the drawing.
void fitAll(SessionApplication& session);
// "zoom out extended [VIEW]": the view, or the next one selected, shows twice its area around
// its centre.
void zoomOutExtended(SessionApplication& session, const std::string& view);
// "save view NAME[,DESCRIPTION]": saves the selected view under the name.
void saveViewKeyin(SessionApplication& session, const std::string& nameAndDescription);
// "on=LEVELS" and "of=LEVELS": the levels the selected views display.
void levelDisplay(SessionApplication& session, const std::string& levels, bool on);
// "set weight on|off|toggle", "set fill ...": what the selected views show.
void setViewAttribute(SessionApplication& session, const std::string& attribute,
                      const std::string& state);

}  // namespace vtl::ustation
