// A session of the stand-in without a socket, in a private platform home, with the journal and
// the design files it writes at hand.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Journal.h"
#include "Session.h"
#include "support/TempDir.h"

namespace vtl::ustation::test {

class EngineTest : public ::testing::Test {
protected:
    // An empty design file in the test's folder.
    std::filesystem::path newFile(const std::string& name, bool threeD = false);
    // Opens the file in the session.
    void open(const std::filesystem::path& file);
    // The journal's lines without their process number, as "keyin reset".
    std::vector<std::string> journalLines() const;
    // True when the journal holds the line (without its process number).
    bool journalHas(const std::string& line) const;
    // The positions the element walk visits in the open file, with their types.
    std::vector<std::pair<int32_t, int32_t>> walk();

    vtl::test::ScopedPlatformHome home;
    vtl::test::TempDir dir;
    Journal journal;
    std::unique_ptr<StandInApplication> app = createSession(journal);
};

}  // namespace vtl::ustation::test
