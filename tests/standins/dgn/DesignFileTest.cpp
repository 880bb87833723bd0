// Design files on disk: creation, the walk by byte position, appending, rewriting in place
// and at the end, deleting, compressing, and the refusal of files that are not sound.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <limits>

#include "core/Error.h"
#include "dgn/DesignFile.h"
#include "dgn/ElementCodec.h"
#include "dgn/ElementFormat.h"
#include "support/TempDir.h"

namespace vtl::dgn {
namespace {

using test::readFile;
using test::TempDir;

// The positions the stand-in's walk visits: find from 0, then from position + extent.
std::vector<uint64_t> walk(const DesignFile& file) {
    std::vector<uint64_t> positions;
    for (const Record* r = file.find(0); r; r = file.find(r->position + r->extent)) {
        positions.push_back(r->position);
    }
    return positions;
}

std::vector<std::string> walkedTexts(const DesignFile& file) {
    std::vector<std::string> texts;
    for (uint64_t position : walk(file)) {
        const Record* r = file.at(position);
        if (const std::string* text = textOf(r->element)) texts.push_back(*text);
        for (const Record* c : file.components(*r)) {
            if (const std::string* text = textOf(c->element)) texts.push_back(*text);
        }
    }
    return texts;
}

class DgnFile : public ::testing::Test {
protected:
    std::filesystem::path path() const { return dir / "drawing.dgn"; }
    DesignFile create(Dimension d = Dimension::Two) { return DesignFile::create(path(), d); }
    TempDir dir;
};

TEST_F(DgnFile, NewFileHasHeaderUnitsAndEndMarker) {
    Units units{"ft", "in", 12, 100};
    DesignFile file = DesignFile::create(path(), Dimension::Three, units);
    DesignFile again = DesignFile::open(path());
    EXPECT_FALSE(again.isCellLibrary());
    EXPECT_EQ(again.dimension(), Dimension::Three);
    EXPECT_EQ(again.header().units, units);
    ASSERT_EQ(again.records().size(), 3u);
    EXPECT_EQ(again.records()[0].element.type, type::DesignHeader);
    EXPECT_EQ(again.records()[1].element.type, type::DigitizerSetup);
    EXPECT_EQ(again.records()[2].element.type, type::LevelSymbology);
    const std::string bytes = readFile(path());
    EXPECT_EQ(static_cast<uint8_t>(bytes[0]), 0xC8);
    EXPECT_EQ(again.endOfElements(), 2048u);
    EXPECT_EQ(bytes.substr(2048, 2), "\xFF\xFF");
    EXPECT_EQ(bytes.size(), 2560u);  // whole blocks of 512 bytes
}

TEST_F(DgnFile, CreateRefusesAnExistingFileAndLeavesItAlone) {
    dir.write("drawing.dgn", "keep me");
    EXPECT_THROW(create(), Error);
    EXPECT_EQ(readFile(path()), "keep me");
}

TEST_F(DgnFile, MasterUnitsAndUorsConvertThroughUnitsAndOrigin) {
    DesignHeader h;
    h.units = {"m", "mm", 1000, 10};
    h.origin = {5000, -5000, 0};
    EXPECT_EQ(h.toUors(1.5, -2.25), (Point{20000, -27500, 0}));
    EXPECT_EQ(h.toMaster({20000, -27500, 0})[0], 1.5);
    EXPECT_EQ(h.toMaster({20000, -27500, 0})[1], -2.25);
    EXPECT_EQ(h.distanceToUors(0.25), 2500);
    EXPECT_THROW(h.toUors(1e6, 0), Error);  // beyond the design plane
}

TEST_F(DgnFile, AppendedElementsAreOnDiskAtOnceAndWalkedInOrder) {
    DesignFile file = create();
    const uint64_t line = file.append(makeLine({0, 0, 0}, {100, 100, 0}));
    const uint64_t text = file.append(makeText("A", {5, 5, 0}, 60, 60));
    EXPECT_EQ(line, 2048u);
    EXPECT_EQ(text, line + file.at(line)->size());
    DesignFile reread = DesignFile::open(path());
    EXPECT_EQ(walk(reread), (std::vector<uint64_t>{0, 1536, 1892, line, text}));
    EXPECT_EQ(reread.find(line + 1)->position, text);
    EXPECT_EQ(reread.find(text + 1), nullptr);
}

TEST_F(DgnFile, ElementsDescribeThemselvesInMasterUnits) {
    DesignFile file = create();
    const DesignHeader& h = file.header();
    Element line = makeLine(h.toUors(1, 2), h.toUors(3.5, -4));
    line.level = 5;
    line.symbology = {3, 2, 1};
    file.append(line);
    file.append(makeText("Note", h.toUors(0.5, 0), 60, 60));
    EXPECT_EQ(describe(file.records()[3], h),
              "2048 type=3 level=5 color=3 weight=2 style=1 points=(1,2) (3.5,-4)");
    EXPECT_EQ(describe(file.records()[4], h),
              "2100 type=17 level=0 color=0 weight=0 style=0 origin=(0.5,0) text=\"Note\"");
    EXPECT_EQ(describe(file.records()[0], h),
              "0 type=9 level=8 color=0 weight=0 style=0 size=1536");
}

TEST_F(DgnFile, RewriteThatDoesNotGrowKeepsThePlace) {
    DesignFile file = create();
    const uint64_t position = file.append(makeText("Longer text", {0, 0, 0}, 60, 60));
    const uint64_t after = file.append(makeLine({0, 0, 0}, {1, 1, 0}));
    const auto size = std::filesystem::file_size(path());
    Element e = file.at(position)->element;
    std::get<TextBody>(e.body).text = "Short";
    e.symbology.color = 4;
    EXPECT_EQ(file.rewrite(position, e), position);
    EXPECT_EQ(std::filesystem::file_size(path()), size);
    DesignFile reread = DesignFile::open(path());
    EXPECT_EQ(*textOf(reread.at(position)->element), "Short");
    EXPECT_EQ(reread.at(position)->element.symbology.color, 4);
    EXPECT_EQ(reread.find(position + reread.at(position)->extent)->position, after);
}

TEST_F(DgnFile, GrownRewriteDeletesInPlaceAndAppendsAndTheWalkSeesEachElementOnce) {
    DesignFile file = create();
    const uint64_t first = file.append(makeText("One", {0, 0, 0}, 60, 60));
    const uint64_t second = file.append(makeText("Two", {0, 0, 0}, 60, 60));
    Element e = file.at(first)->element;
    std::get<TextBody>(e.body).text = "One, now longer";
    const uint64_t moved = file.rewrite(first, e);
    EXPECT_GT(moved, second);
    DesignFile reread = DesignFile::open(path());
    EXPECT_TRUE(reread.at(first)->element.deleted);
    EXPECT_EQ(*textOf(reread.at(first)->element), "One");
    EXPECT_EQ(walkedTexts(reread), (std::vector<std::string>{"Two", "One, now longer"}));
}

TEST_F(DgnFile, GrownComponentMovesItsWholeTextNode) {
    DesignFile file = create();
    const uint64_t node =
        file.append(makeTextNode(1, {0, 0, 0}, 60, 60, 30),
                    {makeText("AB", {0, 0, 0}, 60, 60), makeText("CD", {0, -90, 0}, 60, 60)});
    const uint64_t line = file.append(makeLine({0, 0, 0}, {1, 1, 0}));
    const Record* second = file.components(*file.at(node))[1];
    Element e = second->element;
    std::get<TextBody>(e.body).text = "CD grown longer";
    const uint64_t moved = file.rewrite(second->position, e);

    DesignFile reread = DesignFile::open(path());
    const std::vector<uint64_t> positions = walk(reread);
    ASSERT_EQ(positions.size(), 5u);
    EXPECT_EQ(positions[3], line);
    const Record* head = reread.at(positions[4]);
    ASSERT_EQ(head->element.type, type::TextNode);
    const auto parts = reread.components(*head);
    ASSERT_EQ(parts.size(), 2u);
    EXPECT_EQ(parts[1]->position, moved);
    EXPECT_EQ(std::get<TextNodeBody>(head->element.body).numStrings, 2);
    EXPECT_EQ(std::get<TextNodeBody>(head->element.body).maxUsed, 15);
    EXPECT_EQ(head->extent, head->size() + parts[0]->size() + parts[1]->size());
    EXPECT_TRUE(parts[1]->element.complex);
    EXPECT_EQ(walkedTexts(reread), (std::vector<std::string>{"AB", "CD grown longer"}));
    EXPECT_GE(head->element.range.high.x, 15 * 60);  // the node's range covers the longer text
}

TEST_F(DgnFile, ComplexElementIsDeletedWithItsComponentsButNotComponentAlone) {
    DesignFile file = create();
    const uint64_t cell =
        file.append(makeCell("MARK", {0, 0, 0}),
                    {makeLine({-5, -5, 0}, {5, 5, 0}), makeLine({-5, 5, 0}, {5, -5, 0})});
    const Record* head = file.at(cell);
    EXPECT_EQ(std::get<CellBody>(head->element.body).rangeLow, (Point{-5, -5, 0}));
    EXPECT_EQ(std::get<CellBody>(head->element.body).levels[0],
              1);  // components on level 0 count as 1
    EXPECT_THROW(file.remove(file.components(*head)[0]->position), Error);
    file.remove(cell);
    DesignFile reread = DesignFile::open(path());
    for (const Record& r : reread.records()) {
        EXPECT_EQ(r.element.deleted, r.position >= cell) << r.position;
    }
    EXPECT_EQ(walk(reread).size(), 3u);
}

// A cell off the centre whose component reaches the edge of the design plane: its range
// relative to the origin does not fit in a long and stops at the edge of what V7 stores.
TEST_F(DgnFile, CellRangeReachingTheEdgeOfThePlaneStopsThere) {
    constexpr int32_t lo = std::numeric_limits<int32_t>::min();
    constexpr int32_t hi = std::numeric_limits<int32_t>::max();
    DesignFile file = create();
    const uint64_t cell =
        file.append(makeCell("EDGE", {1000, -1000, 0}), {makeLine({lo, lo, 0}, {hi, hi, 0})});
    const DesignFile reread = DesignFile::open(path());
    const CellBody& body = std::get<CellBody>(reread.at(cell)->element.body);
    EXPECT_EQ(body.rangeLow, (Point{lo, lo + 1000, 0}));
    EXPECT_EQ(body.rangeHigh, (Point{hi - 1000, hi, 0}));
}

// A component deleted on its own (as other programs delete one) stays deleted through every
// rewrite of its complex element: in place, grown and moved to the end, and of one component.
TEST_F(DgnFile, RewritesKeepTheDeletedBitOfEachComponent) {
    uint64_t cell = 0, secondLine = 0;
    {
        DesignFile file = create();
        cell = file.append(makeCell("MARK", {0, 0, 0}),
                           {makeLine({-5, -5, 0}, {5, 5, 0}), makeLine({-5, 5, 0}, {5, -5, 0}),
                            makeText("A", {0, 0, 0}, 60, 60)});
        secondLine = file.components(*file.at(cell))[1]->position;
    }
    std::string bytes = readFile(path());
    bytes[secondLine + 1] = static_cast<char>(bytes[secondLine + 1] | 0x80);
    dir.write("drawing.dgn", bytes);

    DesignFile file = DesignFile::open(path());
    ASSERT_TRUE(file.at(secondLine)->element.deleted);
    using Seen = std::vector<std::pair<int, bool>>;
    auto levelsAndDeleted = [&](uint64_t head) {
        DesignFile reread = DesignFile::open(path());
        Seen seen;
        for (const Record* r : reread.components(*reread.at(head))) {
            seen.emplace_back(r->element.level, r->element.deleted);
        }
        return seen;
    };
    // The cell and its components to a level, the text changed, as a caller hands them in.
    auto onLevel = [&](uint64_t head, int level, const std::string& text) {
        Element h = file.at(head)->element;
        h.level = level;
        std::vector<Element> parts;
        for (const Record* r : file.components(*file.at(head))) {
            Element part = r->element;
            part.level = level;
            part.deleted = false;
            if (auto* body = std::get_if<TextBody>(&part.body)) body->text = text;
            parts.push_back(part);
        }
        return file.rewrite(head, h, parts);
    };
    EXPECT_EQ(onLevel(cell, 4, "B"), cell);
    EXPECT_EQ(levelsAndDeleted(cell), (Seen{{4, false}, {4, true}, {4, false}}));

    const uint64_t moved = onLevel(cell, 6, "A text that grew");
    EXPECT_GT(moved, cell);
    EXPECT_EQ(levelsAndDeleted(moved), (Seen{{6, false}, {6, true}, {6, false}}));

    const Record* firstLine = file.components(*file.at(moved))[0];
    Element first = firstLine->element;
    first.level = 7;
    file.rewrite(firstLine->position, first);
    EXPECT_EQ(levelsAndDeleted(moved), (Seen{{7, false}, {6, true}, {6, false}}));
}

TEST_F(DgnFile, CompressDropsDeletedElementsAndKeepsTheRest) {
    DesignFile file = create();
    const uint64_t gone = file.append(makeText("gone", {0, 0, 0}, 60, 60));
    file.append(makeTextNode(1, {0, 0, 0}, 60, 60, 30), {makeText("kept", {0, 0, 0}, 60, 60)});
    const uint64_t removed = file.at(gone)->size();
    const uint64_t end = file.endOfElements();
    file.remove(gone);
    file.compress();
    EXPECT_EQ(file.endOfElements(), end - removed);
    DesignFile reread = DesignFile::open(path());
    EXPECT_EQ(walkedTexts(reread), (std::vector<std::string>{"kept"}));
    for (const Record& r : reread.records()) EXPECT_FALSE(r.element.deleted);
    EXPECT_EQ(reread.records().size(), 5u);
    // The records kept are those a new reading finds.
    ASSERT_EQ(file.records().size(), reread.records().size());
    for (size_t i = 0; i < file.records().size(); ++i) {
        EXPECT_EQ(file.records()[i].position, reread.records()[i].position);
        EXPECT_EQ(file.records()[i].bytes, reread.records()[i].bytes);
        EXPECT_EQ(file.records()[i].component, reread.records()[i].component);
    }
}

TEST_F(DgnFile, AFileWithoutWritePermissionIsReadOnlyAndStaysAsItWas) {
    const uint64_t text = create().append(makeText("kept", {0, 0, 0}, 60, 60));
    const std::string before = test::readFile(path());
    std::filesystem::permissions(path(), std::filesystem::perms::owner_read |
                                             std::filesystem::perms::group_read |
                                             std::filesystem::perms::others_read);
    DesignFile file = DesignFile::open(path());
    for (auto change : {std::function<void()>([&] {
                            file.append(makeLine({0, 0, 0}, {1, 1, 0}));
                        }),
                        std::function<void()>([&] { file.remove(text); }),
                        std::function<void()>([&] { file.compress(); })}) {
        try {
            change();
            ADD_FAILURE() << "a read-only file was changed";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 70);
            EXPECT_NE(e.description().find("is read-only"), std::string::npos) << e.description();
        }
    }
    EXPECT_EQ(test::readFile(path()), before);
    EXPECT_EQ(walkedTexts(file), (std::vector<std::string>{"kept"}));
}

TEST_F(DgnFile, CellLibraryHoldsCellsAfterItsHeader) {
    const auto library = dir / "cells.cel";
    DesignFile file = DesignFile::createLibrary(library, Dimension::Two);
    CellLibraryBody cell;
    cell.name = "ARROW";
    cell.description = "NORTH ARROW";
    Element head;
    head.type = type::CellLibraryHeader;
    head.body = cell;
    file.append(head, {makeLineString({{0, 0, 0}, {0, 100, 0}, {-20, 80, 0}})});
    DesignFile reread = DesignFile::open(library);
    EXPECT_TRUE(reread.isCellLibrary());
    const auto positions = walk(reread);
    ASSERT_EQ(positions.size(), 2u);
    const Record* header = reread.at(positions[1]);
    EXPECT_EQ(std::get<CellLibraryBody>(header->element.body).name, "ARROW");
    EXPECT_EQ(std::get<CellLibraryBody>(header->element.body).totalWords,
              header->size() / 2 - 19 + reread.components(*header)[0]->size() / 2);
}

class DgnRefusal : public DgnFile {
protected:
    // A sound file with a line string, whose bytes the cases spoil.
    std::string soundFile() {
        DesignFile file = create();
        position = file.append(makeLineString({{0, 0, 0}, {1, 1, 0}, {2, 0, 0}}));
        return readFile(path());
    }

    void expectRefused(const std::string& bytes, const std::string& phrase) {
        dir.write("drawing.dgn", bytes);
        try {
            DesignFile::open(path());
            ADD_FAILURE() << "opened a file that " << phrase;
        } catch (const Error& e) {
            EXPECT_NE(e.description().find(phrase), std::string::npos) << e.description();
            EXPECT_NE(e.description().find(path().string()), std::string::npos);
        }
        EXPECT_EQ(readFile(path()), bytes);
    }

    uint64_t position = 0;
};

TEST_F(DgnRefusal, FileThatIsNotV7) {
    expectRefused("ISO-10303-21;\nHEADER;\n", "is not a DGN V7 design file");
    expectRefused("", "is not a DGN V7 design file");
}

TEST_F(DgnRefusal, FileCutShort) {
    const std::string bytes = soundFile();
    expectRefused(bytes.substr(0, position + 20), "is cut short");
    expectRefused(bytes.substr(0, 1000), "is cut short");
}

TEST_F(DgnRefusal, BadElementLength) {
    std::string bytes = soundFile();
    std::string tooShort = bytes;
    tooShort[position + 2] = 14;  // 32 bytes: no room for the vertices
    tooShort[position + 3] = 0;
    expectRefused(tooShort, "bad element length");
    std::string tiny = bytes;
    tiny[position + 2] = 2;
    expectRefused(tiny, "bad element length");
}

TEST_F(DgnRefusal, ComponentsRunningPastTheEnd) {
    DesignFile file = create();
    const uint64_t node =
        file.append(makeTextNode(1, {0, 0, 0}, 6, 6, 3), {makeText("A", {}, 6, 6)});
    std::string bytes = readFile(path());
    bytes[node + 36] = static_cast<char>(0x7F);  // claims far more component words than follow
    expectRefused(bytes, "bad element length");
}

TEST_F(DgnRefusal, MissingFile) {
    EXPECT_THROW(DesignFile::open(dir / "missing.dgn"), Error);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.dgn"));
}

}  // namespace
}  // namespace vtl::dgn
