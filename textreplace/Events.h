// The tool's messages and events: every message box goes through ShowMessage, which also logs
// it; every event goes through LogEvent into the log and the main window's event list.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/Error.h"

namespace vtl::tarnwell {

// The title of every message box of the tool.
inline constexpr char kMessageTitle[] = "Brelvik Tarnwell";

// Shows an error's description ("Unknown error" when blank) and logs it with the error's source
// in front. Returns the answer.
int32_t ShowMessage(const Error& error, int32_t style);
// Shows a message of the tool's own and logs it. Returns the answer.
int32_t ShowMessage(const std::string& message, int32_t style);

// Writes an event: a line break (CR LF) becomes one blank, the text goes into the log and, with
// the date and time and a tab in front, to the event list.
void LogEvent(const std::string& text);

// Where LogEvent sends its lines besides the log (the main window's event list); an empty sink
// sends them nowhere.
using EventSink = std::function<void(const std::string& line)>;
void setEventSink(EventSink sink);

// The error passed on by one of the tool's procedures: its name, then ": " and the received
// source when that is not blank and not the program's title.
Error passOnProcedure(const Error& e, std::string_view name);

}  // namespace vtl::tarnwell
