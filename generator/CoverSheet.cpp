#include "CoverSheet.h"

#include <string>
#include <vector>

#include "IsoView.h"
#include "LOGModule.h"
#include "RunDriver.h"
#include "RunHost.h"
#include "StepSupport.h"
#include "TextKeyins.h"
#include "Variablen.h"
#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "core/Error.h"
#include "core/Numbers.h"

namespace vtl {

namespace {

using FileOperationModule::quotedForCommand;

void placeNumbers(const RunState& s) {
    sendKeyin(textSettingsKeyin({s.LENtextJustification, s.LENtextco, s.LENtextlv, s.LENtextwt,
                                 s.LENtextlc, s.LENtexttx, s.LENtexttw, s.LENtextft}));
    for (int i = 1; i <= s.LineEndCount; ++i) {
        using StepSupport::keyinCoordinate;
        const RunTable& t = s.LineEndTable;
        sendKeyin(placeTextKeyin(num::text(i), keyinCoordinate(t, i, 3), keyinCoordinate(t, i, 4)) +
                  ";reset");
    }
}

// The 2-D view is attached only when it was made for this header file: the working file in TMP
// may still hold the view of an earlier one.
void attach3dView(const RunState& s) {
    sendKeyin("REFERENCE DETACH i3d");
    if (!s.I3d2dMade) {
        raise(kOwnError, "The 3-D view of " + s.IsoName +
                             " was not made, so it cannot be "
                             "attached to the cover sheet");
    }
    sendKeyin("rf=" + i3d2dFile() + ",i3d;Vistrel;i3d;" + s.I3DrefscaleScaled +
              ";xy=" + s.I3Drefpoint);
}

// The references' contents copied in: the seed's elements on delLevel deleted, then everything
// the references show copied under a fence that leaves nothing inside it.
void copyReferences(const RunState& s) {
    const std::string& view = s.mstnseedview;
    sendKeyin("lock fence void overlap;set weight on;selview all");
    sendKeyin("reference locate off all");
    if (s.createI3D == 1) attach3dView(s);
    sendKeyin("REFERENCE DETACH " + view);
    sendKeyin("rf=" + s.VtlFile + "," + view + ";Vistrel;" + view + ";" + s.ICSrefscale +
              ";xy=" + s.ICSrefpoint);
    const std::vector<std::string> keyins = {
        "reference locate on " + view,
        "lv=62;lv=" + s.pipelv,
        "of=1-63;selview all",
        "on=" + s.delLevel + ";selview all",
        "place fence;xy=0;dx=0.001",
        "fence change unlock;dx=0",
        "fence delete;dx=0",
        "fence copy;xy=0;dx=0;reset;select",
        "reference locate on all",
        "lv=63;on=1-63;selview all",
        "REFERENCE DETACH " + view,
        "REFERENCE DETACH i3d",
        "lock fence inside;place fence;dx=0",
        "set fill off;selview all",
        "reset;fit all;dx=0;reset;select;compress design;file"};
    for (const std::string& keyin : keyins) sendKeyin(keyin);
}

void buildCoverSheet(RunHost& host, RunState& s) {
    s.CurrentFile = s.IcsFile;
    StepSupport::deleteOldFile(s.IcsFile);
    StepSupport::runCommand("copy " + quotedForCommand(s.ICSseedfile) + " " +
                            quotedForCommand(s.IcsFile));
    StepSupport::openDrawing(host, s.IcsFile, s.IcsFile);
    copyReferences(s);
}

}  // namespace

void lineEndNumber(RunHost& host) {
    RunState& s = Variablen();
    try {
        s.CurrentFile = s.VtlFile;
        sendKeyin("newfile " + s.VtlFile);
        if (!host.Window_exist(s.IsoName + ".vtl")) {
            raise(kOwnError, "Error opening " + s.VtlFile);
        }
        placeNumbers(s);
    } catch (...) {
        s.StepError = true;
        throw passOnMethod(toError(std::current_exception()), "lineEndNumber");
    }
}

void IsoCoverSheet(RunHost& host) {
    RunState& s = Variablen();
    try {
        buildCoverSheet(host, s);
    } catch (...) {
        const Error cause = toError(std::current_exception());
        const std::string failed = s.IcsFile + " - Error occured";
        // The replacement below names only the file; the cause goes into the log first.
        ResumeNext each;
        each([&] { LOGModule::WriteLog(cause.description(), ""); });
        each([&] { LOGModule::AddErrorEntry(failed); });
        each([] { RunDriver::restartMSTN(MSTNApp, ""); });
        s.StepError = true;
        throw Error(kOwnError, methodSource("IsoCoverSheet", cause.source()), failed);
    }
}

}  // namespace vtl
