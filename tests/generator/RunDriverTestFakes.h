// A main window and drawing steps for tests of the run driver.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/Error.h"
#include "core/Text.h"
#include "generator/RunHost.h"
#include "generator/RunSteps.h"
#include "generator/Variablen.h"
#include "platform/WindowSystem.h"

namespace vtl::test {

class FakeRunHost : public RunHost {
public:
    std::string excelfile;
    std::string plotter = "No Plot";
    std::string mstnPath;
    // Every setRunning call and every closing message, in order.
    std::vector<bool> running;
    std::vector<std::string> messages;

    std::string excelFileText() override { return excelfile; }
    std::string plotterText() override { return plotter; }
    std::string GetMSTNPath() override { return mstnPath; }
    // The desktop's windows, as the main window looks at them.
    bool Window_exist(const std::string& title) override {
        for (const platform::TopLevelWindow& window : platform::windows().topLevelWindows()) {
            if (text::ifind(window.title, title) != std::string::npos) return true;
        }
        return false;
    }
    void setRunning(bool busy) override { running.push_back(busy); }
    void showRunMessage(const std::string& text) override { messages.push_back(text); }
};

// A window check that answers as the test says and remembers what it was asked.
class ShowingRunHost : public FakeRunHost {
public:
    bool shows = true;
    std::vector<std::string> asked;
    bool Window_exist(const std::string& text) override {
        asked.push_back(text);
        return shows;
    }
};

// Records each step as "IsoName:step"; fails one chosen step on one chosen header file, through
// the program's own failing step when one is given.
class RecordingSteps : public RunSteps {
public:
    std::vector<std::string> calls;
    std::string failStep;
    int failFile = -1;
    std::function<void()> failWith;
    // Runs inside leitung_einzeichnen, the step that draws in MicroStation.
    std::function<void()> onDraw;

    void leitung_einzeichnen(bool marker) override {
        step(std::string("leitung_einzeichnen(") + (marker ? "True" : "False") + ")");
        if (onDraw) onDraw();
    }
    void VTLhineinkopieren() override { step("VTLhineinkopieren"); }
    void startPellmark() override { step("startPellmark"); }
    void findI3DimportFaktor() override { step("findI3DimportFaktor"); }
    void createI3Dfile() override { step("createI3Dfile"); }
    void lineEndNumber() override { step("lineEndNumber"); }
    void IsoCoverSheet() override { step("IsoCoverSheet"); }
    void Gridfile_zerlegen() override { step("Gridfile_zerlegen"); }
    void find_endpoint_diff() override { step("find_endpoint_diff"); }
    void searchidf() override { step("searchidf"); }
    void placeTabelle() override { step("placeTabelle"); }
    void iplotiso(const std::string& file) override { step("iplotiso(" + file + ")"); }

private:
    void step(const std::string& name) {
        calls.push_back(Variablen().IsoName + ":" + name);
        if (name != failStep || Variablen().IsoFileIndex != failFile) return;
        if (failWith) failWith();
        Variablen().StepError = true;
        throw Error(kOwnError, name, name + " failed");
    }
};

// The entry lines of a log's error conclusion ("# no errors occured" for none); empty when the
// log has no conclusion.
inline std::vector<std::string> conclusionEntries(const std::string& log) {
    std::vector<std::string> lines = text::split(text::replaceAll(log, "\r\n", "\n"), '\n');
    std::vector<std::string> entries;
    size_t i = 0;
    while (i < lines.size() && lines[i] != "############# Error conclusion ##############") ++i;
    for (i += 2; i < lines.size() && lines[i] != "#"; ++i) entries.push_back(lines[i]);
    return entries;
}

// The entry WriteLog makes for a text about a file.
inline std::string entry(const std::string& tag, const std::string& text) {
    return "#  " + tag + "  - " + text;
}

}  // namespace vtl::test
