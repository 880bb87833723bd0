// What the tests that run the stand-in MicroStation share: its program, the empty design files it
// makes, and the key-ins its journal records.
#pragma once

#include <gtest/gtest.h>

#include <QProcess>
#include <filesystem>
#include <string>
#include <vector>

#include "core/Text.h"
#include "support/TempDir.h"

namespace vtl::test {

inline const std::string kStandIn = VTL_STANDINS_DIR "/ustation.exe";

// An empty design file, 3-D when asked for.
inline void newDesign(const std::filesystem::path& file, bool threeD = false) {
    QStringList args = {"--new", QString::fromStdString(file.string())};
    if (threeD) args << "--3d";
    QProcess process;
    process.start(QString::fromStdString(kStandIn), args);
    ASSERT_TRUE(process.waitForFinished(20000));
    ASSERT_EQ(process.exitCode(), 0);
}

// The seed files of a run in a new folder: vtlseed.dgn, icsseed.dgn and the 3-D i3dseed.dgn.
inline void newSeeds(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    newDesign(folder / "vtlseed.dgn");
    newDesign(folder / "icsseed.dgn");
    newDesign(folder / "i3dseed.dgn", true);
}

// A key-in sent through the automation call, with the process that received it.
struct Received {
    std::string pid;
    std::string keyin;
};

// The key-ins of a journal, in the order they were received.
inline std::vector<Received> keyinsReceived(const std::filesystem::path& journal) {
    const std::string call = "call MbeSendCommand(\"";
    std::vector<Received> received;
    for (const std::string& line : text::split(readFile(journal), '\n')) {
        const size_t at = line.find(call);
        if (at == std::string::npos || !line.ends_with("\")")) continue;
        const size_t start = at + call.size();
        received.push_back(
            {line.substr(0, line.find(']') + 1), line.substr(start, line.size() - start - 2)});
    }
    return received;
}

}  // namespace vtl::test
