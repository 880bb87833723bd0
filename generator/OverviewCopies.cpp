#include "OverviewCopies.h"

#include "IsoDrawings.h"
#include "IsoPlot.h"
#include "LOGModule.h"
#include "RunDriver.h"
#include "RunHost.h"
#include "Variablen.h"
#include "common/modMSTN.h"
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

// Opens the drawing; why it is not open when MicroStation does not show it: the automation
// error of a MicroStation that refused the file or went away, else whether it is still there.
std::string notOpened(RunHost& host, const RunState& s, const std::string& name) {
    try {
        sendKeyin("newfile " + s.CurrentFile);
    } catch (...) {
        return toError(std::current_exception()).description();
    }
    if (host.Window_exist(name)) return "";
    return modMSTN::MicroStationGone() ? "MicroStation ended" : "no MicroStation window shows it";
}

void stampDrawing(RunHost& host, RunState& s, const std::string& name) {
    s.CurrentFile = s.isopath + name;
    if (const std::string why = notOpened(host, s, name); !why.empty()) {
        s.RunError = true;
        LOGModule::WriteLog("Error at file " + s.CurrentFile + " - " + why, s.CurrentFile);
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
