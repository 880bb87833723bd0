#include "EngineFixture.h"

#include <algorithm>

#include "Tools.h"
#include "core/Text.h"

namespace vtl::ustation::test {

std::filesystem::path EngineTest::newFile(const std::string& name, bool threeD) {
    std::filesystem::path file = dir / name;
    newDesign(file.string(), threeD);
    return file;
}

void EngineTest::open(const std::filesystem::path& file) {
    app->MbeSendCommand("newfile " + file.string());
}

std::vector<std::string> EngineTest::journalLines() const {
    std::vector<std::string> lines;
    for (const std::string& line : text::split(vtl::test::readFile(Journal::defaultPath()), '\n')) {
        size_t start = line.find("] ");
        if (start != std::string::npos) lines.push_back(line.substr(start + 2));
    }
    return lines;
}

bool EngineTest::journalHas(const std::string& line) const {
    const std::vector<std::string> lines = journalLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

std::vector<std::pair<int32_t, int32_t>> EngineTest::walk() {
    std::vector<std::pair<int32_t, int32_t>> visited;
    auto e = app->MbeElement();
    for (int32_t p = e->fromFile(0); p >= 0; p = e->fromFile(p + e->fileSize())) {
        visited.emplace_back(p, e->Type());
    }
    return visited;
}

}  // namespace vtl::ustation::test
