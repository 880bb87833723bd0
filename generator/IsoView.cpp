#include "IsoView.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>

#include "IsogenInput.h"
#include "LOGModule.h"
#include "OverviewDrawing.h"
#include "StepSupport.h"
#include "Variablen.h"
#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "core/Clock.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"

namespace vtl {

namespace {

constexpr char kSave[] = "reset;select;fit all;dx=0;reset;compress design;file";
constexpr double kNoMinimum = 999999999999;

// --- The factor --------------------------------------------------------------------------------

double axisRange(const HeaderData& h, int column) {
    double maximum = 0;
    double minimum = kNoMinimum;
    for (int row = 1; row <= h.TopoCount; ++row) {
        const std::string& text = h.TopoTable(row, column);
        const double v = std::abs(fieldNumber(text));
        if (text.size() <= 2 || !(v > 0)) continue;
        maximum = std::max(maximum, v);
        minimum = std::min(minimum, v);
    }
    return maximum - minimum;
}

// --- The 3-D drawing ---------------------------------------------------------------------------

TextSettings labelSymbology(const RunState& s) {
    return {s.I3DLENtextJustification,
            s.I3DLENtextco,
            s.I3DLENtextlv,
            s.I3DLENtextwt,
            s.I3DLENtextlc,
            s.I3DLENtexttxScaled,
            s.I3DLENtexttwScaled,
            s.I3DLENtextft};
}

std::string scaledSize(const std::string& configured, double factor) {
    return num::text(num::leadingNumber(configured) * factor);
}

void copySeed(const RunState& s) {
    using FileOperationModule::quotedForCommand;
    StepSupport::deleteOldFile(s.I3dFile);
    if (!FileOperationModule::IsFileExists(s.I3Dseedfile, 0)) {
        raise(kOwnError, "File not found " + s.I3Dseedfile);
    }
    StepSupport::runCommand("copy " + quotedForCommand(s.I3Dseedfile) + " " +
                            quotedForCommand(s.I3dFile));
}

// The pipe runs, and the number of each free pipe end at its 3-D point.
void draw3dView(RunState& s) {
    sendKeyin("reset;view off all;view on 1;window arrange;view " + s.View_direction +
              ";selview 1;file");
    sendKeyin("lv=" + s.pipelv + ";co=" + s.pipeco + ";wt=" + s.pipewt + ";lc=" + s.pipelc);
    leitung_einzeichnen(false);
    s.I3DLENtexttxScaled = scaledSize(s.I3DLENtexttx, s.i3dimportfaktor);
    s.I3DLENtexttwScaled = scaledSize(s.I3DLENtexttw, s.i3dimportfaktor);
    sendKeyin("reset;fit all;selview 1;file;" + activeTextKeyins(labelSymbology(s)));
    for (int i = 1; i <= s.LineEndCount; ++i) {
        using StepSupport::keyinCoordinate;
        const RunTable& t = s.LineEndTable;
        const std::string at = keyinCoordinate(t, i, 3) + "," + keyinCoordinate(t, i, 4) + "," +
                               keyinCoordinate(t, i, 5);
        sendKeyin(placeTextAt(num::text(i), at) + ";reset");
    }
    sendKeyin(kSave);
}

// MicroStation's 2-D conversion writes the open 3-D drawing, seen through view 1, into TMP. An
// older working file is removed first, so that a conversion that fails cannot leave the view of
// an earlier header file in its place.
void convertTo2d() {
    const std::string target = i3d2dFile();
    StepSupport::deleteOldFile(target);
    for (const std::string& keyin : conversionKeyins(target)) sendKeyin(keyin);
    if (!FileOperationModule::IsFileExists(target, 0)) {
        raise(kOwnError,
              "The 2-D conversion of " + Variablen().I3dFile + " did not write " + target);
    }
}

// --- The 2-D drawing ---------------------------------------------------------------------------

// The texts of the drawing and the box of its line strings' end points.
void walkElements(mstn::Element& element, std::vector<TextLabel>& labels, LabelBox& box) {
    mstn::Point p1, p2;
    labels.assign(1, TextLabel{});
    for (int32_t position = element.fromFile(0); position >= 0;
         position = element.fromFile(position + element.fileSize())) {
        const int32_t type = element.Type();
        if (type == mstn::Application::MBE_TEXT) {
            if (!labels.back().Text.empty()) labels.emplace_back();
            TextLabel& label = labels.back();
            element.GetString(label.Text);
            mstn::Point& origin = Variablen().MSTNPoint;
            element.GetOrigin(origin);
            label.X = origin.x;
            label.Y = origin.y;
        } else if (type == 4) {
            element.getEndPoints(p1, p2);
            box.take(p1, p2);
        }
    }
}

const char* const kDeleteTexts[] = {"RESET;",
                                    "MDL U SELECTBY;",
                                    "MDL L SELECTBY;",
                                    "SELECTBY LEVEL ALL;",
                                    "SELECTBY TYPE NONE;",
                                    "SELECTBY TYPE TEXT;",
                                    "SELECTBY OPTIONS SELECTION;",
                                    "SELECTBY MODE INCLUSIVE;",
                                    "SELECTBY EXECUTE;",
                                    "DELETE ELEMENT;",
                                    "DX=0;",
                                    "RESET;"};

// A text that held a ";" is placed with a "," there; the log says so.
void noteAlteredTexts(const std::vector<TextLabel>& labels) {
    for (const TextLabel& label : labels) {
        if (label.Text.find(';') == std::string::npos) continue;
        LOGModule::WriteLog("The text '" + label.Text + "' of the 3-D view is placed as '" +
                                keyinText(label.Text) + "': a key-in cannot carry a ';'",
                            "");
    }
}

void layOutLabels(const RunState& s, std::vector<TextLabel>& labels, LabelBox box) {
    for (const char* keyin : kDeleteTexts) sendKeyin(keyin);
    SortArray(labels);
    const double tx = num::leadingNumber(s.I3DLENtexttxScaled);
    box.grow(4 * tx);
    const TextSettings symbology = labelSymbology(s);
    sendKeyin("reset;fit all;selview 1;file;" + activeTextKeyins(symbology, false));
    noteAlteredTexts(labels);
    for (const LabelPlacement& placement : placeLabels(labels, box, tx)) {
        for (const std::string& keyin : labelKeyins(placement, symbology)) sendKeyin(keyin);
        clock().processEvents();
    }
    sendKeyin(kSave);
}

void layOut2dView(RunHost& host, RunState& s) {
    StepSupport::openDrawing(host, i3d2dFile(), kI3d2dName);
    s.MSTNPoint = MSTNApp->MbePoint();
    s.MSTNElement = MSTNApp->MbeElement();
    sendKeyin("RESET;");
    std::vector<TextLabel> labels;
    LabelBox box;
    walkElements(*s.MSTNElement, labels, box);
    if (!labels.front().Text.empty()) layOutLabels(s, labels, box);
    sendKeyin("reset;choose all;lv=62;lv=" + s.pipelv + ";change level;choose none");
    sendKeyin("reset;view off all;view on 1;window arrange;fit all;selview 1;file");
    sendKeyin("reset;save view i3d,i3d;selview 1;file");
}

std::string point(double x, double y) {
    return num::text(x) + "," + num::text(y);
}

}  // namespace

std::string i3d2dFile() {
    std::string folder = Variablen().TmpFolder;
    if (folder.empty()) folder = env::tmpFolder();
    return (std::filesystem::path(folder) / kI3d2dName).string();
}

std::vector<std::string> conversionKeyins(const std::string& target) {
    const std::filesystem::path file(target);
    return {"MDL LOAD cnvdgn", "MDL COMMAND MGDSHOOK,fileList_setFilterCmd *.dgn",
            "MDL COMMAND MGDSHOOK,fileList_setDirectoryCmd " +
                FileOperationModule::AddBackslash(file.parent_path().string()),
            "MDL COMMAND MGDSHOOK,fileList_setFileNameCmd " + file.filename().string(),
            "MBE1 CLOSEMODAL OK"};
}

double importFactor(const HeaderData& header) {
    const double x = axisRange(header, 3);
    const double y = axisRange(header, 4);
    const double z = axisRange(header, 5);
    double largest = x;
    if (y > largest) largest = y;
    if (z > largest) largest = z;
    return largest / 1000;
}

std::string scaledRefScale(const std::string& refscale, double factor) {
    const size_t colon = refscale.find(':');
    if (colon == std::string::npos || colon == 0) return refscale;
    return refscale.substr(0, colon + 1) +
           text::trim(num::text(fieldNumber(refscale.substr(colon + 1)) * factor));
}

void LabelBox::take(const mstn::Point& start, const mstn::Point& end) {
    if (empty) {
        minX = maxX = start.x;
        minY = maxY = start.y;
        empty = false;
    }
    for (const mstn::Point* p : {&start, &end}) {
        minX = std::min(minX, p->x);
        maxX = std::max(maxX, p->x);
        minY = std::min(minY, p->y);
        maxY = std::max(maxY, p->y);
    }
}

void LabelBox::grow(double margin) {
    maxX += margin;
    minX -= margin;
    maxY += margin;
    minY -= margin;
}

void SortArray(std::vector<TextLabel>& labels) {
    try {
        for (size_t i = 0; i < labels.size(); ++i) {
            for (size_t j = i; j < labels.size(); ++j) {
                if (labels[j].Y > labels[i].Y) std::swap(labels[i], labels[j]);
            }
            clock().processEvents();
        }
    } catch (...) {
        throw passOnMethod(toError(std::current_exception()), "SortArray");
    }
}

std::vector<LabelPlacement> placeLabels(const std::vector<TextLabel>& sorted, const LabelBox& box,
                                        double tx) {
    struct Column {
        double textX, leaderX;
        std::optional<double> height;
    };
    Column right{box.maxX, box.maxX - tx / 2, {}};
    Column left{box.minX, box.minX + tx / 2, {}};
    std::vector<LabelPlacement> placements;
    for (const TextLabel& label : sorted) {
        const double dR = std::hypot(label.X - box.maxX, label.Y - box.maxY);
        const double dL = std::hypot(label.X - box.minX, label.Y - box.minY);
        Column& column = dR < dL ? right : left;
        column.height = column.height ? *column.height - 3 * tx : label.Y + 3 * tx;
        placements.push_back({label, column.textX, column.leaderX, *column.height});
    }
    return placements;
}

std::vector<std::string> labelKeyins(const LabelPlacement& p, const TextSettings& text) {
    return {"active style=0;active weight=0;active color=0;PLACE LINE;",
            "xy=" + point(p.label.X, p.label.Y) + ";",
            "xy=" + point(p.leaderX, p.height) + ";RESET",
            "lc=" + text.style + ";wt=" + text.weight + ";co=" + text.color + ";" +
                placeTextAt(p.label.Text, point(p.textX, p.height)) + ";reset"};
}

void findI3DimportFaktor() {
    RunState& s = Variablen();
    try {
        double factor = importFactor(s);
        std::string note;
        if (!(factor > 0)) {
            note =
                "No coordinate of the header file gives the size of the pipeline: the "
                "configured I3Drefscale and label sizes are used";
            factor = 1;
        }
        s.i3dimportfaktor = factor;
        s.I3DrefscaleScaled = scaledRefScale(s.I3Drefscale, factor);
        std::vector<std::string> lines{""};
        if (!note.empty()) lines.push_back(note);
        lines.push_back("i3dimportfaktor = " + num::text(factor) +
                        "          Berechneter I3Drefscale = " + s.I3DrefscaleScaled);
        LOGModule::appendLines(s.logfile, lines);
    } catch (...) {
        s.StepError = true;
        throw passOnMethod(toError(std::current_exception()), "findI3DimportFaktor");
    }
}

void createI3Dfile(RunHost& host) {
    RunState& s = Variablen();
    try {
        s.I3d2dMade = false;
        s.CurrentFile = s.I3dFile;
        copySeed(s);
        StepSupport::openDrawing(host, s.I3dFile, s.I3dFile);
        draw3dView(s);
        convertTo2d();
        layOut2dView(host, s);
        s.I3d2dMade = true;
    } catch (...) {
        s.StepError = true;
        throw passOnMethod(toError(std::current_exception()), "createI3Dfile");
    }
}

}  // namespace vtl
