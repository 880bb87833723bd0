#include "NodeFilling.h"

#include <optional>

#include "IsoDrawings.h"
#include "LOGModule.h"
#include "NodeTextWorkbook.h"
#include "Variablen.h"
#include "common/FileOperationModule.h"
#include "common/mstnmacro.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/Text.h"
#include "workbook/ExcelFile.h"

namespace vtl {

namespace {

namespace wb = NodeTextWorkbook;

constexpr char kNodeNumberOfElem[] = "elem.currentPosition->el.text_node_2d.nodenumber";
constexpr int32_t kTextNode = 7;
// Nodes reported when the drawing lacks them.
constexpr int32_t kLastReportedNode = 250;
// The locate tolerance while nodes are refilled (so a data point takes the node at its origin),
// and MicroStation's own value, which it gets back afterwards.
constexpr int kFillLocateTolerance = 1;
constexpr int kDefaultLocateTolerance = 10;

// A number as the runtime's Str writes it: a blank before a number that is not negative.
std::string strForm(int32_t n) {
    return (n >= 0 ? " " : "") + std::to_string(n);
}

// A user preference set as MicroStation's preference dialog takes it: the dialog's application
// loaded, the variable set by a macro, the dialog closed with OK.
void setUserPreference(const std::string& variable, int value) {
    sendKeyin("MDL SILENTLOAD USERPREF");
    mstnmacro::RunMSTNMacro("MbeSetAppVariable\"USERPREF\", \"" + variable + "\", " +
                            std::to_string(value) + "&");
    sendKeyin("MBE1 CLOSEMODAL OK");
}

// "exit" to the MicroStation attached, which may be gone already; it is released in any case.
void endMicroStation() {
    if (MSTNApp) {
        try {
            MSTNApp->MbeSendCommand("exit");
        } catch (...) {
            // Nothing is left to end.
        }
    }
    MSTNApp.reset();
}

void dataPoint() {
    MSTNApp->mbeSendDataPoint(Variablen().MSTNPoint);
}

class Filler {
public:
    Filler(std::string excelPath, excel::WorksheetPtr sheet, int32_t fileColumn)
        : excelPath_(std::move(excelPath)), sheet_(std::move(sheet)), fileColumn_(fileColumn) {}

    void useHeaders() {
        headers_ = wb::nodeHeaders(*sheet_);
        for (const wb::RejectedHeader& r : headers_.rejected) {
            log("Node header '" + r.header + "' in column " + std::to_string(r.column) +
                " is no node number from 0 to 999 - column not used");
        }
    }

    void fill(const std::string& file) {
        if (!FileOperationModule::IsFileExists(file, 0)) {
            log("File: '" + file + "' not exists");
            return;
        }
        log("Filling nodes in file: '" + file + "' ...");
        const int32_t row = wb::drawingRow(*sheet_, fileColumn_, file);
        if (row == 0) {
            log("File: '" + file + "' in Excel file: '" + excelPath_ + "' not defined");
            return;
        }
        takeTexts(row);
        openForFilling(file);
        walkTextNodes();
        setUserPreference("savePrefs.locateTol", kDefaultLocateTolerance);
        toleranceLowered_ = false;
        MSTNApp->MbeSendkeyin("compress;file");
        reportMissing(file);
    }

    // After a failure: the locate tolerance the filling lowered is given back, as far as
    // MicroStation still answers.
    void restoreTolerance() {
        if (!toleranceLowered_) return;
        try {
            setUserPreference("savePrefs.locateTol", kDefaultLocateTolerance);
        } catch (...) {
            // The failure that ended the filling is the one to report.
        }
    }

private:
    void log(const std::string& line) { LOGModule::appendLines(Variablen().logfile, {line}); }

    void takeTexts(int32_t row) {
        for (int32_t n = 0; n <= kLastReportedNode; ++n) texts_[static_cast<size_t>(n)].clear();
        for (const wb::NodeColumn& c : headers_.columns) {
            texts_[static_cast<size_t>(c.node)] = wb::cellText(*sheet_, row, c.column);
            clock().processEvents();
        }
    }

    void openForFilling(const std::string& file) {
        Variablen().CurrentFile = file;
        sendKeyin("newfile " + file);
        sendKeyin("set parseall off");
        sendKeyin("MDL SILENTLOAD USERPREF");
        MSTNApp->MbeSetAppVariable("USERPREF", "savePrefs.moreFlags.preserveTextNodes", 0);
        mstnmacro::RunMSTNMacro(
            "MbeSetAppVariable\"USERPREF\", \"savePrefs.moreFlags.preserveTextNodes\", 1&");
        sendKeyin("MBE1 CLOSEMODAL OK");
        toleranceLowered_ = true;
        setUserPreference("savePrefs.locateTol", kFillLocateTolerance);
    }

    // Only the first text node of each number, in the walk's order, is refilled: its text is
    // emptied once written. The refilled node is appended at the end, where the walk meets it
    // again with nothing left to write.
    void walkTextNodes() {
        RunState& s = Variablen();
        mstn::Element& element = *s.MSTNElement;
        int32_t position = element.fromFile(0, 0);
        element.Publish("elem");
        while (position >= 0) {
            if (element.Type() == kTextNode) refillIfGiven(element);
            position = element.fromFile(position + element.fileSize());
        }
    }

    void refillIfGiven(mstn::Element& element) {
        const int32_t n = MSTNApp->MbeCExpressionLong(kNodeNumberOfElem);
        // The workbook has no texts for nodes outside 0 to 999.
        if (n < 0 || n >= wb::kNodeNumbers) return;
        std::string& text = texts_[static_cast<size_t>(n)];
        if (text.empty()) return;
        log("Node: " + std::to_string(n) + " filled with: '" + text + "'");
        element.GetOrigin(Variablen().MSTNPoint);
        refillNode(n, text);
        text.clear();
    }

    void reportMissing(const std::string& file) {
        for (int32_t n = 0; n <= kLastReportedNode; ++n) {
            if (text::trim(texts_[static_cast<size_t>(n)]).empty()) continue;
            log("Node: " + std::to_string(n) + " in file: '" + file + "' was not found");
        }
    }

    std::string excelPath_;
    excel::WorksheetPtr sheet_;
    int32_t fileColumn_;
    wb::NodeHeaders headers_;
    wb::NodeTexts texts_{};
    bool toleranceLowered_ = false;
};

void fillAll(const std::string& excelPath, const std::vector<std::string>& files,
             const AttachMicroStation& attach, std::unique_ptr<Filler>& filler,
             excel::WorkbookPtr& workbook) {
    RunState& s = Variablen();
    if (!FileOperationModule::IsFileExists(excelPath, 0)) {
        raise(kOwnError, "Excelfile nicht gefunden - " + excelPath);
    }
    workbook = excel::openWorkbookObject(excelPath);
    MSTNApp = attach();
    s.MSTNElement = MSTNApp->MbeElement();
    s.MSTNPoint = MSTNApp->MbePoint();
    excel::WorksheetPtr sheet = workbook->Worksheets(1);
    const int32_t column = wb::fileColumn(*sheet);
    if (column == 0) raise(kOwnError, "Eintrag - filename - in der ersten Zeile nicht gefunden");
    filler = std::make_unique<Filler>(excelPath, sheet, column);
    filler->useHeaders();
    for (const std::string& file : files) filler->fill(file);
}

}  // namespace

void refillNode(int32_t n, const std::string& text) {
    sendKeyin("match element");
    dataPoint();
    sendKeyin("dx=0");
    sendKeyin("delete element");
    dataPoint();
    sendKeyin("dx=0");
    sendKeyin("nn=" + strForm(n));
    sendKeyin("place node");
    dataPoint();
    sendKeyin("EDIT TEXT");
    dataPoint();
    sendKeyin("dx=0");
    MSTNApp->MbeSendAppMessage("TEXTEDIT", "FirstLine " + text);
    MSTNApp->MbeSendAppMessage("TEXTEDIT", "ApplyBtn");
    MSTNApp->MbeSendReset();
    sendKeyin("NULL");
}

void runfill(const std::string& excelPath, const std::vector<std::string>& files,
             const AttachMicroStation& attach) {
    RunState& s = Variablen();
    std::optional<Error> failure;
    std::unique_ptr<Filler> filler;
    excel::WorkbookPtr workbook;
    try {
        fillAll(excelPath, files, attach, filler, workbook);
    } catch (...) {
        failure = passOnMethod(toError(std::current_exception()), "runfill");
        if (filler) filler->restoreTolerance();
    }
    endMicroStation();
    s.MSTNElement.reset();
    // The workbook is the user's: released, never saved or closed.
    workbook.reset();
    if (failure) throw *failure;
}

void startPellmark(const std::string& excelPath, const AttachMicroStation& attach) {
    RunState& s = Variablen();
    try {
        endMicroStation();
        std::vector<std::string> files;
        for (const std::string& name : isoDrawingNames(s.isopath, s.IsoName)) {
            files.push_back(s.isopath + name);
        }
        if (!files.empty()) runfill(excelPath, files, attach);
        MSTNApp = attach();
    } catch (...) {
        s.StepError = true;
        throw passOnMethod(toError(std::current_exception()), "startPellmark");
    }
}

}  // namespace vtl
