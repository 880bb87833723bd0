#include "VTLWizardBase.h"

#include "common/FileOperationModule.h"
#include "common/modMSTN.h"
#include "core/Clock.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "generator/Variablen.h"
#include "platform/AtomicFile.h"

namespace vtl::VTLWizardBase {

double xstep = 0;
double ystep = 0;
double gridstep = 0;
Extent seedExtent;

namespace {

Error asOwnError(const std::exception_ptr& e, const std::string& source) {
    return Error(kOwnError, source, toError(e).description());
}

void widen(double& xmax, double& xmin, double& ymax, double& ymin, const mstn::Point& p,
           bool first) {
    if (first || xmax < p.x) xmax = p.x;
    if (first || xmin > p.x) xmin = p.x;
    if (first || ymax < p.y) ymax = p.y;
    if (first || ymin > p.y) ymin = p.y;
}

bool measured(mstn::RefFiles& refs, int32_t index) {
    return index == 0 || (refs.display(index) && !refs.notFound(index) && refs.active(index));
}

}  // namespace

void GetDGNFileLimits(double& xmax, double& xmin, double& ymax, double& ymin,
                      mstn::Application& application) {
    try {
        std::shared_ptr<mstn::RefFiles> refs = application.MbeRefFiles();
        std::shared_ptr<mstn::Element> element = application.MbeElement();
        mstn::Point start = application.MbePoint(), end = application.MbePoint();
        bool found = false;
        const int16_t last = num::toInteger(refs->maxRefFiles());
        for (int32_t i = 0; i <= last; ++i) {
            if (!measured(*refs, i)) {
                clock().processEvents();
                continue;
            }
            for (int32_t p = element->fromFile(0, i); p >= 0; p = element->fromFile(p, i)) {
                if (element->getEndPoints(start, end) == mstn::Application::MBE_Success) {
                    widen(xmax, xmin, ymax, ymin, start, !found);
                    widen(xmax, xmin, ymax, ymin, end, false);
                    found = true;
                }
                p += element->fileSize();
                clock().processEvents();
            }
            clock().processEvents();
        }
    } catch (...) {
        xmax = xmin = ymax = ymin = 0;
        throw asOwnError(std::current_exception(), "GetDGNFileLimits");
    }
}

void GetColorTable(const std::string& file, std::vector<ColorRecord>& table) {
    try {
        if (!FileOperationModule::IsFileExists(file, 0)) {
            raise(kOwnError, "Color Table file: '" + file + "' not found");
        }
        const std::optional<std::string> bytes = platform::readWholeFile(file);
        if (!bytes) raise(err::PathFileAccess, "Path/File access error: '" + file + "'");
        table.clear();
        bool whole = true;
        for (int16_t i = 0; whole; i = num::toInteger(i + 1.0)) {
            const size_t at = static_cast<size_t>(num::toInteger(3.0 * i));
            ColorRecord record;
            uint8_t* parts[3] = {&record.red, &record.green, &record.blue};
            for (size_t k = 0; k < 3; ++k) {
                if (at + k < bytes->size()) *parts[k] = static_cast<uint8_t>((*bytes)[at + k]);
            }
            table.push_back(record);
            whole = at + 3 <= bytes->size();
            clock().processEvents();
        }
    } catch (...) {
        table.clear();
        throw asOwnError(std::current_exception(), "GetColorTable");
    }
}

namespace {

// The copy of the file itself; a copy that failed would leave an older working copy in use.
void copyMain(const std::string& file, const std::string& folder) {
    const size_t slash = file.rfind('/');
    const std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    if (!FileOperationModule::CopyFileA(file, folder + "/" + name, false, false, true)) {
        int32_t number = 0;
        std::string source, description;
        FileOperationModule::GetLastErrorInfo(number, source, description);
        raise(kOwnError, description);
    }
}

void copyReferences(mstn::RefFiles& refs, const std::string& folder) {
    const int32_t last = refs.maxRefFiles();
    for (int32_t i = 1; i <= last; ++i) {
        if (refs.active(i) && !refs.notFound(i) && refs.display(i)) {
            // Quoted, so a blank in a path cannot split the command.
            int32_t taskId = 0;
            FileOperationModule::ExecA(
                "copy " + FileOperationModule::quotedForCommand(refs.Filename(i)) + " " +
                    FileOperationModule::quotedForCommand(folder + "/"),
                "", 0, "", taskId, true);
        }
        clock().processEvents();
    }
}

}  // namespace

void CopyDGNWithRefFiles(const std::string& file, const std::string& folder, const Attach& attach) {
    std::shared_ptr<mstn::Application> app;
    std::exception_ptr failure;
    try {
        if (!FileOperationModule::IsFileExists(file, 0)) {
            raise(kOwnError, "File to copy: '" + file + "' not exists");
        }
        copyMain(file, folder);
        app = attach();
        std::shared_ptr<mstn::RefFiles> refs = app->MbeRefFiles();
        Variablen().CurrentFile = file;
        app->MbeSendCommand("NEWFILE " + file);
        app->setVisible(0);
        copyReferences(*refs, folder);
    } catch (...) {
        failure = std::current_exception();
    }
    if (app) {
        try {
            app->MbeSendCommand("exit");
        } catch (...) {  // a MicroStation that is gone needs no exit
        }
        app.reset();
        // The next attach must not find this MicroStation on its way out.
        modMSTN::WaitUntilMicroStationGone(kExitTimeoutMs);
    }
    if (failure) throw asOwnError(failure, "");
}

}  // namespace vtl::VTLWizardBase
