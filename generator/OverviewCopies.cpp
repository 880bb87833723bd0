#include "OverviewCopies.h"

#include "IsoDrawings.h"
#include "IsoPlot.h"
#include "LOGModule.h"
#include "RunDriver.h"
#include "RunHost.h"
#include "Variablen.h"
#include "common/mstnmacro.h"
#include "core/Error.h"

namespace vtl {

std::vector<std::string> stampKeyins(const RunState& s) {
    const std::string& view = s.mstnseedview;
    return {
        "lock fence void overlap;set weight on;selview all",
        "reference locate off all",
        // A reference of that name left by an earlier stamp goes first, so it is not doubled.
        "REFERENCE DETACH " + view,
        "rf=" + s.VtlFile + "," + view + ";Vistrel;" + view + ";" + s.refscale +
            ";xy=" + s.refpoint,
        "reference locate on " + view,
        "lv=62;lv=" + s.pipelv,
        // Only delLevel displayed and only the overview locatable: the fence acts on them alone.
        "of=1-63;selview all",
        "on=" + s.delLevel + ";selview all",
        "place fence;xy=0;dx=0.001",
        "fence change unlock;dx=0",
        "fence delete;dx=0",
        "fence copy;xy=0;dx=0;reset",
        "reference locate on all",
        "lv=63;on=1-63;selview all",
        "REFERENCE DETACH " + view,
        "lock fence inside;place fence;dx=0",
        "set fill off;selview all",
        "reset;fit all;dx=0;reset;compress design;file",
    };
}

bool isNetworkQueue(const std::string& plotter) {
    return plotter.starts_with("\\\\");
}

namespace {

// Opens the drawing; false when MicroStation does not show it. A MicroStation that refuses the
// file with an error has not opened it either: that drawing is skipped like one it does not show.
bool opened(RunHost& host, const RunState& s, const std::string& name) {
    try {
        sendKeyin("newfile " + s.CurrentFile);
    } catch (...) {
        LOGModule::WriteLog(toError(std::current_exception()).description(), "");
        return false;
    }
    return host.Window_exist(name);
}

void stampDrawing(RunHost& host, RunState& s, const std::string& name) {
    s.CurrentFile = s.isopath + name;
    if (!opened(host, s, name)) {
        s.RunError = true;
        LOGModule::WriteLog("Error at file ", s.CurrentFile);
        RunDriver::restartMSTN(MSTNApp, "");
        return;
    }
    for (const std::string& keyin : stampKeyins(s)) sendKeyin(keyin);
    const std::string plotter = host.plotterText();
    if (isNetworkQueue(plotter)) iplotiso(s.isopath + name, plotter);
}

}  // namespace

void VTLhineinkopieren(RunHost& host) {
    RunState& s = Variablen();
    try {
        for (const std::string& name : isoDrawingNames(s.isopath, s.IsoName)) {
            stampDrawing(host, s, name);
        }
    } catch (...) {
        s.StepError = true;
        throw passOnMethod(toError(std::current_exception()), "VTLhineinkopieren");
    }
}

}  // namespace vtl
