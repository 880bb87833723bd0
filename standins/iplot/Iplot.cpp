#include "Iplot.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "ParameterFile.h"
#include "PlotQueue.h"
#include "core/Environment.h"
#include "core/Error.h"
#include "core/Text.h"
#include "platform/Processes.h"

namespace vtl::iplot {

namespace {

namespace fs = std::filesystem;

// Output lines end in CR LF, as the platform's own tools write them, also into a log.
constexpr char kEol[] = "\r\n";
constexpr char kUsageText[] =
    "usage: iplot modify -queue=QUEUE PARMFILE\r\n"
    "       iplot modify -design=DESIGN PARMFILE\r\n"
    "       iplot modify -detach[iplot_all] PARMFILE\r\n"
    "       iplot generate PARMFILE\r\n"
    "       iplot submit PARMFILE\r\n";

// A failure with its message; the command ends with kFailed.
struct Failure {
    std::string message;
};

// Wrong usage; the command ends with kUsage.
struct UsageError {
    std::string message;
};

ParameterFile readParameters(const std::string& file) {
    try {
        return ParameterFile::read(file);
    } catch (const Error& e) {
        throw Failure{"cannot read the parameter file " + file + ": " + e.description()};
    }
}

void writeParameters(const ParameterFile& parameters) {
    try {
        parameters.write();
    } catch (const Error& e) {
        throw Failure{"cannot write the parameter file " + parameters.path().string() + ": " +
                      e.description()};
    }
}

std::string required(const ParameterFile& parameters, const char* name) {
    std::optional<std::string> value = parameters.get(name);
    if (!value || value->empty()) {
        throw Failure{"the parameter file " + parameters.path().string() + " names no " + name};
    }
    return *value;
}

// The metafile "generate" writes and "submit" sends: beside the parameter file, extension .m.
fs::path metafileOf(const ParameterFile& parameters) {
    return fs::path(parameters.path()).replace_extension(".m");
}

std::string modify(const std::string& option, const std::string& file) {
    ParameterFile parameters = readParameters(file);
    std::string done;
    if (text::istartsWith(option, "-queue=")) {
        const std::string queue = option.substr(7);
        if (!queueFolder(queue)) throw Failure{"'" + queue + "' is no plot queue name"};
        parameters.set(kQueue, queue);
        done = "queue " + queue;
    } else if (text::istartsWith(option, "-design=")) {
        const std::string design = option.substr(8);
        if (design.empty()) throw Failure{"no design file given"};
        parameters.set(kDesign, design);
        done = "design " + design;
    } else if (text::iequals(option, "-detach[iplot_all]")) {
        parameters.set(kReferences, "detached");
        done = "references detached";
    } else {
        throw UsageError{"unknown option " + option};
    }
    writeParameters(parameters);
    return file + ": " + done;
}

// The stand-in MicroStation beside this program, else the one the platform finds.
std::string renderer() {
    fs::path beside = env::programFolder() / "ustation.exe";
    std::error_code ec;
    if (fs::exists(beside, ec)) return beside.string();
    fs::path found = env::findProgram("ustation.exe");
    if (found.empty()) throw Failure{"the MicroStation renderer ustation.exe is not installed"};
    return found.string();
}

std::string generate(const std::string& file) {
    const ParameterFile parameters = readParameters(file);
    const std::string design = required(parameters, kDesign);
    std::error_code ec;
    if (!fs::is_regular_file(design, ec))
        throw Failure{"the design file " + design + " is not found"};
    const fs::path metafile = metafileOf(parameters);
    fs::remove(metafile, ec);
    // The picture is drawn without a screen.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    int code = 1;
    try {
        code = platform::processes().start({renderer(), "--render", design, metafile}, {})->wait();
    } catch (const Error& e) {
        throw Failure{"the renderer cannot be started: " + e.description()};
    }
    if (code != 0 || !fs::is_regular_file(metafile, ec)) {
        fs::remove(metafile, ec);
        throw Failure{"no plot could be generated from " + design};
    }
    return "metafile " + metafile.string() + " generated from " + design;
}

std::string submit(const std::string& file) {
    const ParameterFile parameters = readParameters(file);
    const std::string queue = required(parameters, kQueue);
    std::optional<fs::path> folder = queueFolder(queue);
    std::error_code ec;
    if (!folder || !fs::is_directory(*folder, ec)) throw Failure{"there is no plot queue " + queue};
    const fs::path metafile = metafileOf(parameters);
    if (!fs::is_regular_file(metafile, ec)) {
        throw Failure{"there is no metafile " + metafile.string() + "; run iplot generate first"};
    }
    const fs::path plot = *folder / (fs::path(file).stem().string() + ".png");
    fs::copy_file(metafile, plot, fs::copy_options::overwrite_existing, ec);
    if (ec) throw Failure{"cannot deliver the plot to " + plot.string() + ": " + ec.message()};
    return "plot " + plot.filename().string() + " submitted to queue " + queue;
}

std::string runCommand(const std::vector<std::string>& args) {
    if (args.size() == 3 && text::iequals(args[0], "modify")) return modify(args[1], args[2]);
    if (args.size() == 2 && text::iequals(args[0], "generate")) return generate(args[1]);
    if (args.size() == 2 && text::iequals(args[0], "submit")) return submit(args[1]);
    throw UsageError{args.empty() ? "no command given" : "not a command: " + text::join(args, " ")};
}

void journal(const std::vector<std::string>& args, const std::string& outcome) {
    std::ofstream out(env::platformHome() / "iplot-journal.log", std::ios::app);
    out << "iplot " << text::join(args, " ") << "  ->  " << outcome << "\n";
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const std::string done = runCommand(args);
        journal(args, done);
        out << "iplot: " << done << kEol;
        return kDone;
    } catch (const Failure& f) {
        journal(args, "failed: " + f.message);
        err << "iplot: " << f.message << kEol;
        return kFailed;
    } catch (const UsageError& u) {
        journal(args, "refused: " + u.message);
        err << "iplot: " << u.message << kEol << kUsageText;
        return kUsage;
    }
}

}  // namespace vtl::iplot
