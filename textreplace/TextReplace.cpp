#include "textreplace/TextReplace.h"

#include <climits>
#include <optional>

#include "common/FileOperationModule.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/Text.h"
#include "textreplace/ConfigLookup.h"
#include "textreplace/Events.h"
#include "textreplace/MSTNSession.h"
#include "textreplace/OutsidePrograms.h"

namespace vtl::tarnwell {

namespace {

constexpr int32_t kTextNode = 7;
constexpr int32_t kText = 17;

}  // namespace

std::string doneEvent() {
    return "Done\r\n" + std::string(66, '-');
}

void checkDesignFile(const std::string& dgn) {
    if (!FileOperationModule::IsFileExists(dgn, 0)) {
        raise(kOwnError, "DGN file: " + QuoteString(dgn) + " not exists");
    }
    if (dgn.find(';') != std::string::npos) {
        raise(kOwnError, "DGN file: " + QuoteString(dgn) +
                             " cannot be opened in MicroStation: its path holds a ';'");
    }
}

void checkWorkbookFolder(const std::string& workbook) {
    const size_t slash = workbook.rfind('/');
    const std::string folder =
        slash == std::string::npos ? workbook : workbook.substr(0, slash + 1);
    if (FileOperationModule::IsFileExists(folder, 1)) return;
    if (workbook.empty()) raise(kOwnError, "Excel file not defined");
    raise(kOwnError, "Directory to create excel file: '" + workbook + "' not exists");
}

void walkTexts(mstn::Element& element, const std::function<void(mstn::Element&)>& visit,
               bool rewrite) {
    int32_t end = INT32_MAX;  // where the elements the walk moved begin
    EventPacer events;
    int32_t position = element.fromFile(0);
    while (position >= 0 && position < end) {
        const int32_t size = element.fileSize();
        const int32_t type = element.Type();
        if (type == kTextNode || type == kText) {
            do {
                visit(element);
            } while (element.nextComponent() == 0);
            if (rewrite) {
                element.Rewrite();
                // The first element that moved went to where the file ended; everything after
                // it there is what the walk moved.
                if (end == INT32_MAX) {
                    const int32_t now = element.filePos();
                    if (now >= 0 && now != position) end = now;
                }
            }
        }
        events.step();
        position = element.fromFile(static_cast<int32_t>(static_cast<int64_t>(position) + size));
    }
}

namespace {

void requireTable() {
    const auto& table = ConfigRecordset();
    if (!table || table->State() == ado::adStateClosed || table->RecordCount() == 0) {
        raise(kOwnError, "Nothing to replace defined");
    }
}

// The line is logged once MicroStation has run the rewrites before it, so a rewrite that failed
// is still followed by its error alone, as when each rewrite was waited for.
void replaceComponent(mstn::Application& microStation, mstn::Element& element) {
    std::string text;
    if (element.GetString(text) != mstn::Application::MBE_Success) return;
    const std::string replacement =
        Search4(text, static_cast<int16_t>(element.Level()), static_cast<int16_t>(element.Color()),
                static_cast<int16_t>(element.Weight()));
    if (text::trim(replacement).empty() || replacement == text) return;
    const std::string line =
        "Replacing: \r\n" + QuoteString(text) + "\r\n with: \r\n" + QuoteString(replacement);
    microStation.whenRun([line] { LogEvent(line); });
    element.setString(replacement);
}

void replaceTexts(mstn::Application& microStation, const std::string& dgn) {
    std::shared_ptr<mstn::Element> element = microStation.MbeElement();
    microStation.withoutWaiting([&] {
        microStation.MbeSendCommand("newfile " + dgn);
        microStation.MbeSetAppVariable(kTextEditorApplication, kTextEditorStyle, 2);
        walkTexts(
            *element, [&](mstn::Element& e) { replaceComponent(microStation, e); }, true);
        microStation.MbeSetAppVariable(kTextEditorApplication, kTextEditorStyle, 0);
        microStation.MbeSendCommand(kSaveKeyins);
    });
}

}  // namespace

void XLS2DGN(const std::string& workbook, const std::string& dgn, bool loadConfig) {
    LogEvent("Replacing text in DGN file: " + QuoteString(dgn) + " ...");
    std::shared_ptr<mstn::Application> microStation;
    std::optional<Error> failure;
    try {
        checkDesignFile(dgn);
        checkWorkbookFolder(workbook);
        if (loadConfig) {
            SearchInit(workbook);
            requireTable();
        }
        microStation = outside().openMicroStation();
        replaceTexts(*microStation, dgn);
        LogEvent(doneEvent());
    } catch (...) {
        failure = NameEndedMicroStation(toError(std::current_exception()), dgn);
    }
    QuitApplication(microStation);
    if (failure) throw passOnProcedure(*failure, "XLS2DGN");
}

}  // namespace vtl::tarnwell
