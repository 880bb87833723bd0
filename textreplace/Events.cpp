#include "textreplace/Events.h"

#include "core/Text.h"
#include "platform/MessageBoxes.h"
#include "textreplace/LOGModule.h"

namespace vtl::tarnwell {

namespace {

EventSink eventSink;

int32_t show(const std::string& prefix, const std::string& text, int32_t style) {
    try {
        LOGModule::WriteLogLine(prefix + text);
        LOGModule::FlushLog();
        return platform::MsgBox(text, style, kMessageTitle);
    } catch (...) {
        const Error failure = toError(std::current_exception());
        LogEvent(failure.source() + ": " + failure.description());
        LOGModule::FlushLog();
        return 0;
    }
}

}  // namespace

int32_t ShowMessage(const Error& error, int32_t style) {
    const std::string text =
        text::trim(error.description()).empty() ? "Unknown error" : error.description();
    const std::string prefix = chainsSource(error.source()) ? error.source() + ": " : "";
    return show(prefix, text, style);
}

int32_t ShowMessage(const std::string& message, int32_t style) {
    return show("", message, style);
}

void LogEvent(const std::string& text) {
    const std::string line = text::replaceAll(text, "\r\n", " ");
    LOGModule::WriteLogLine(line);
    if (eventSink) eventSink(LOGModule::nowText() + "\t" + line);
}

void setEventSink(EventSink sink) {
    eventSink = std::move(sink);
}

Error passOnProcedure(const Error& e, std::string_view name) {
    std::string source(name);
    if (chainsSource(e.source())) source += ": " + e.source();
    return Error(e.number(), source, e.description());
}

}  // namespace vtl::tarnwell
