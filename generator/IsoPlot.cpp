#include "IsoPlot.h"

#include "LOGModule.h"
#include "Variablen.h"
#include "common/FileOperationModule.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "core/Text.h"

namespace vtl {

namespace {

using FileOperationModule::quotedForCommand;

std::string fileNameOf(const std::string& file) {
    const size_t slash = file.rfind('/');
    return slash == std::string::npos ? file : file.substr(slash + 1);
}

}  // namespace

std::string plotName(const std::string& file) {
    const std::string name = text::trim(fileNameOf(file));
    if (name.size() < 4) raise(err::InvalidCall, "'" + name + "' is no drawing name to plot");
    const std::string stem = name.substr(0, name.size() - 4);
    if (name.ends_with("ics")) return stem + "_000";
    return stem + "_0" + name.substr(name.size() - 2);
}

std::vector<PlotCommand> plotCommands(const std::string& file, const std::string& queue,
                                      const std::string& parmFile, const std::string& parmCopy) {
    const std::string copy = quotedForCommand(parmCopy);
    std::vector<PlotCommand> commands = {
        {"copy " + quotedForCommand(parmFile) + " " + copy},
        {"iplot modify -queue=" + quotedForCommand(queue) + " " + copy},
        {"iplot modify -design=" + quotedForCommand(file) + " " + copy},
    };
    if (file.ends_with(".ics")) commands.push_back({"iplot modify -detach[iplot_all] " + copy});
    commands.push_back({"iplot generate " + copy});
    commands.push_back({"iplot submit " + copy});
    // The metafile that "generate" leaves beside the copy.
    const std::string metafile = parmCopy.substr(0, parmCopy.size() - 2) + ".m";
    commands.push_back({"del " + quotedForCommand(metafile), false});
    return commands;
}

void iplotiso(const std::string& file, const std::string& queue) {
    RunState& s = Variablen();
    try {
        const std::string parmCopy = env::tmpFolder() + "/" + plotName(file) + ".i";
        std::string failed;
        for (const PlotCommand& c : plotCommands(file, queue, s.IParmfile, parmCopy)) {
            int32_t taskId = 0;
            const int32_t code = FileOperationModule::ExecA(c.command, c.logged ? s.logfile : "", 0,
                                                            "", taskId, true);
            if (c.logged && code != 0 && failed.empty()) {
                failed = c.command + " - exit code " + std::to_string(code);
            }
        }
        if (!failed.empty()) {
            s.RunError = true;
            LOGModule::WriteLog("Not plotted: " + failed, file);
        }
    } catch (...) {
        s.StepError = true;
        throw passOnMethod(toError(std::current_exception()), "iplotiso");
    }
}

}  // namespace vtl
