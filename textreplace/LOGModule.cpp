#include "textreplace/LOGModule.h"

#include <QLocale>
#include <filesystem>
#include <functional>
#include <system_error>
#include <utility>

#include "common/FileOperationModule.h"
#include "core/Environment.h"
#include "core/Files.h"
#include "core/LogStream.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "textreplace/App.h"

extern char** environ;

namespace vtl::tarnwell::LOGModule {

namespace fs = std::filesystem;
using namespace FileOperationModule;

namespace {

constexpr size_t kWidth = 120;

std::string LogFileName;
NowSource nowSource;

std::string qs(const QString& text) {
    return text.toStdString();
}

// The program file: the program folder, the executable's name and ".exe" (".dll" when there
// is no such ".exe").
std::string programFile() {
    const std::string base = AddBackslash(App().path.string()) + App().exeName;
    return IsFileExists(base + ".exe", 0) ? base + ".exe" : base + ".dll";
}

// An identity line: label and value, padded to 119 characters, closed by "*".
std::string identityLine(const std::string& label, const std::string& value) {
    std::string line = "*  " + label + value;
    if (line.size() < kWidth - 1) line.append(kWidth - 1 - line.size(), ' ');
    return line + "*";
}

// The text centred in asterisks, 120 characters wide.
std::string centred(const std::string& text) {
    const double length = static_cast<double>(text.size());
    std::string line(static_cast<size_t>(std::max(0, num::toLong((120 - length) / 2))), '*');
    line += text;
    line.append(static_cast<size_t>(std::max(0, num::toLong((119 - length) / 2))), '*');
    if (line.size() > kWidth) line.resize(kWidth);
    if (line.size() < kWidth) line.append(kWidth - line.size(), '*');
    return line;
}

// An environment entry with a run of |24 - length of its name| blanks in place of each "=",
// so that values start in column 25.
std::string environmentLine(const std::string& entry) {
    const std::vector<std::string> parts = text::split(entry, '=');
    const long name = static_cast<long>(parts.front().size());
    return text::join(parts, std::string(static_cast<size_t>(std::labs(24 - name)), ' '));
}

// The program's name, file, version, date and size, and the caller's description.
std::vector<std::string> identityLines(const std::string& description) {
    const std::string file = programFile();
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (ec) throw errnoError(ec.value(), file);
    const auto modified = std::chrono::system_clock::to_time_t(GetFileLastModifiedDate(file));
    RaiseLastError();
    std::vector<std::string> lines{
        identityLine("Application:   ", App().title), identityLine("Path:          ", file),
        identityLine("Version:       ", GetVersionString(file, false)),
        identityLine("Date:          ", dateTimeText(QDateTime::fromSecsSinceEpoch(modified))),
        identityLine("Size:          ", num::text(static_cast<long long>(size)) + " Bytes")};
    if (!text::trim(description).empty()) {
        lines.push_back(identityLine("Description:   ", description));
    }
    return lines;
}

std::string banner(const std::string& description) {
    std::vector<std::string> lines{std::string(kWidth, '*')};
    for (std::string& line : identityLines(description)) lines.push_back(std::move(line));
    lines.insert(lines.end(),
                 {std::string(kWidth, '*'), "", "Log starting at " + dateTimeText(now()), "",
                  centred("Begin of environment variables")});
    for (char** entry = environ; entry && *entry && **entry; ++entry) {
        lines.push_back(environmentLine(*entry));
    }
    lines.insert(lines.end(), {centred("End of environment variables"), ""});
    std::string content;
    for (const std::string& line : lines) content += line + "\r\n";
    return content;
}

bool isAutomaticName(const std::string& path) {
    return text::endsWith(text::lower(GetFileName(path)),
                          "_" + text::lower(App().exeName) + ".log");
}

// The folder of automatic names: TEMP & title, or TEMP alone when that cannot be created.
std::string automaticFolder() {
    const std::string temp = AddBackslash(env::tempFolder());
    const std::string own = temp + App().title + "/";
    if (IsFileExists(own, 1) || CreateFolderA(own)) return own;
    return temp;
}

std::string automaticName(const std::string& logName) {
    const std::string name = text::trim(logName).empty() ? App().exeName : logName;
    return text::replaceAll(
        automaticFolder() + qs(now().toString("yyyy-MM-dd_HHmmss_")) + name + ".log", "//", "/");
}

// The earlier log goes on under the current name. Within the same second both names are one
// file, which must not be deleted.
void continueLog(const std::string& earlier) {
    if (earlier == LogFileName) return;
    if (CopyFileA(earlier, LogFileName, false, false, false)) DeleteFileA(earlier, false);
}

// Local time and its texts cost more than writing a line, and a run logs lines by the
// thousand each second: they are made once per second of the clock.
struct Moment {
    qint64 second = 0;
    QDateTime time;  // local, to the second
    int hundredths = 0;
};

Moment moment() {
    if (nowSource) {
        const QDateTime time = nowSource();
        return {time.toSecsSinceEpoch(), time, time.time().msec() / 10};
    }
    static Moment last{-1, {}, 0};
    const qint64 ms = QDateTime::currentMSecsSinceEpoch();
    if (ms / 1000 != last.second) last = {ms / 1000, QDateTime::fromSecsSinceEpoch(ms / 1000), 0};
    return {last.second, last.time, static_cast<int>(ms % 1000 / 10)};
}

class PerSecond {
public:
    explicit PerSecond(std::function<std::string(const QDateTime&)> format)
        : format_(std::move(format)) {}
    const std::string& text(const Moment& moment) {
        if (moment.second != second_ || text_.empty()) {
            second_ = moment.second;
            text_ = format_(moment.time);
        }
        return text_;
    }

private:
    std::function<std::string(const QDateTime&)> format_;
    qint64 second_ = 0;
    std::string text_;
};

}  // namespace

std::string dateTimeText(const QDateTime& time) {
    const QLocale locale = QLocale::system();
    return qs(locale.toString(time.date(), QLocale::ShortFormat) + " " +
              time.time().toString("HH:mm:ss"));
}

std::string nowText() {
    static PerSecond shown(dateTimeText);
    return shown.text(moment());
}

void setNowSource(NowSource source) {
    nowSource = std::move(source);
}

QDateTime now() {
    return nowSource ? nowSource() : QDateTime::currentDateTime();
}

void InitLog(const std::string& description, const std::string& logName,
             const std::string& logFile) {
    try {
        logstream::close();
        const std::string earlier = isAutomaticName(LogFileName) ? LogFileName : std::string();
        const std::string folder = GetPathName(logFile);
        LogFileName = !folder.empty() && IsFileExists(folder, 1) ? logFile : automaticName(logName);
        if (IsFileExists(LogFileName, 0)) {
            CopyFileA(LogFileName, LogFileName + ".bak", false, false, false);
        }
        if (!earlier.empty() && IsFileExists(earlier, 0)) {
            continueLog(earlier);
            return;
        }
        files::writeFile(LogFileName, banner(description));
    } catch (...) {
        // The log never stops the tool.
    }
}

void WriteLogLine(const std::string& text) {
    if (text::trim(LogFileName).empty() || text::trim(text).empty()) return;
    try {
        static PerSecond stamped(
            [](const QDateTime& time) { return qs(time.toString("yyyy-MM-dd HH:mm:ss")); });
        const Moment time = moment();
        const std::string stamp = stamped.text(time) + "." + (time.hundredths < 10 ? "0" : "") +
                                  num::text(time.hundredths);
        logstream::append(LogFileName, stamp + "  " + text + "\r\n");
    } catch (...) {
        // A line that cannot be written is lost; the tool goes on.
    }
}

void FlushLog() {
    try {
        logstream::flush();
    } catch (...) {
        // Those lines are lost; the tool goes on.
    }
}

std::string GetLogFileName() {
    return LogFileName;
}

}  // namespace vtl::tarnwell::LOGModule
