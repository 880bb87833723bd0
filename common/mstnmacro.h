// Runs a few lines of MicroStation macro code through a temporary macro file.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "mstn/Automation.h"

namespace vtl {

// The program-wide MicroStation automation object: set when a program attaches, released
// after its work. The macro runner sends its key-in to it.
extern std::shared_ptr<mstn::Application> MSTNApp;

// Sends a key-in to MSTNApp, the way every drawing step talks to MicroStation; error 91 when none
// is attached.
void sendKeyin(const std::string& keyin);

// Runs work, whose key-ins go to MSTNApp without waiting for each (Application::withoutWaiting):
// for steps that send many. Without MSTNApp the work's first key-in raises error 91.
void sendKeyinsWithoutWaiting(const std::function<void()>& work);

namespace mstnmacro {

// Writes "Sub main", the code and "End Sub" to macro.bas under TMP, runs it in MicroStation and
// deletes it again (with the "macro.ba" twin MicroStation makes of it). Errors reach the caller.
void RunMSTNMacro(const std::string& code);

}  // namespace mstnmacro
}  // namespace vtl
