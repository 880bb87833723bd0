// The element walk of the automation interface over a file made with the codec: byte positions,
// deleted elements, a text that grew and moved to the end, and a text node's components.
#include <algorithm>
#include <filesystem>

#include "EngineFixture.h"
#include "core/Error.h"
#include "dgn/DesignFile.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;
using mstn::Application;

class ElementWalkTest : public EngineTest {
protected:
    void SetUp() override {
        file = newFile("walk.dgn");
        dgn::DesignFile d = dgn::DesignFile::open(file);
        const dgn::DesignHeader h = d.header();
        lineString = d.append(dgn::makeLineString({h.toUors(0, 0), h.toUors(10, 5)}));
        deletedLine = d.append(dgn::makeLine(h.toUors(1, 1), h.toUors(2, 2)));
        d.remove(deletedLine);
        shortText = d.append(dgn::makeText("short", h.toUors(3, 4), 10000, 10000));
        dgn::Element longer = dgn::makeText("a much longer text now", h.toUors(3, 4), 10000, 10000);
        longer.level = 6;
        longer.symbology = {2, 1, 0};
        grownText = d.rewrite(shortText, longer);
        std::vector<dgn::Element> lines;
        for (const char* line : {"A", "B", "C"}) {
            lines.push_back(dgn::makeText(line, h.toUors(5, 5), 10000, 10000));
        }
        node = d.append(dgn::makeTextNode(7, h.toUors(5, 6), 10000, 10000, 5000), lines);
        open(file);
    }

    std::shared_ptr<mstn::Element> elementAt(uint64_t position) {
        auto e = app->MbeElement();
        EXPECT_EQ(e->fromFile(static_cast<int32_t>(position)), static_cast<int32_t>(position));
        return e;
    }

    fs::path file;
    uint64_t lineString = 0, deletedLine = 0, shortText = 0, grownText = 0, node = 0;
};

TEST_F(ElementWalkTest, VisitsEveryLiveElementOnceInFileOrder) {
    auto visited = walk();
    std::vector<std::pair<int32_t, int32_t>> graphic;
    for (const auto& v : visited) {
        if (v.second == 4 || v.second == 7 || v.second == 17) graphic.push_back(v);
    }
    const std::vector<std::pair<int32_t, int32_t>> expected = {
        {static_cast<int32_t>(lineString), 4},
        {static_cast<int32_t>(grownText), 17},
        {static_cast<int32_t>(node), 7},
    };
    EXPECT_EQ(graphic, expected);
    EXPECT_GT(grownText, shortText);
    EXPECT_EQ(visited.front().first, 0);  // the design header is an element of the file, too
    EXPECT_TRUE(std::is_sorted(visited.begin(), visited.end()));
    for (const auto& v : visited) {
        EXPECT_NE(v.first, static_cast<int32_t>(deletedLine));
        EXPECT_NE(v.first, static_cast<int32_t>(shortText));
    }
}

TEST_F(ElementWalkTest, FileSizeOfATextNodeCoversItsComponents) {
    auto e = elementAt(node);
    EXPECT_EQ(static_cast<uint64_t>(e->fileSize()),
              dgn::DesignFile::open(file).endOfElements() - node);
    EXPECT_LT(e->fromFile(static_cast<int32_t>(node) + e->fileSize()), 0);
    // A position inside the node goes on after it, not at a component.
    EXPECT_LT(e->fromFile(static_cast<int32_t>(node) + 2), 0);
}

TEST_F(ElementWalkTest, VisitsTheComponentsOfATextNode) {
    auto e = elementAt(node);
    std::string text = "unchanged";
    EXPECT_EQ(e->Type(), 7);
    EXPECT_NE(e->GetString(text), Application::MBE_Success);
    EXPECT_EQ(text, "unchanged");
    std::vector<std::string> strings;
    while (e->nextComponent() == 0) {
        EXPECT_EQ(e->Type(), Application::MBE_TEXT);
        ASSERT_EQ(e->GetString(text), Application::MBE_Success);
        strings.push_back(text);
    }
    EXPECT_EQ(strings, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_NE(e->nextComponent(), 0);
}

TEST_F(ElementWalkTest, ReadsSymbologyOriginAndEndPointsInMasterUnits) {
    auto text = elementAt(grownText);
    EXPECT_EQ(text->Level(), 6);
    EXPECT_EQ(text->Color(), 2);
    EXPECT_EQ(text->Weight(), 1);
    mstn::Point origin, start, end;
    ASSERT_EQ(text->GetOrigin(origin), Application::MBE_Success);
    EXPECT_DOUBLE_EQ(origin.x, 3);
    EXPECT_DOUBLE_EQ(origin.y, 4);
    EXPECT_NE(text->getEndPoints(start, end), Application::MBE_Success);

    auto line = elementAt(lineString);
    ASSERT_EQ(line->getEndPoints(start, end), Application::MBE_Success);
    EXPECT_DOUBLE_EQ(start.x, 0);
    EXPECT_DOUBLE_EQ(end.x, 10);
    EXPECT_DOUBLE_EQ(end.y, 5);
    EXPECT_NE(line->GetOrigin(origin), Application::MBE_Success);
}

TEST_F(ElementWalkTest, RewriteInPlaceOrAtTheEndSurvivesReopening) {
    auto text = elementAt(grownText);
    ASSERT_EQ(text->setString("A MUCH LONGER TEXT NOW"), Application::MBE_Success);
    ASSERT_EQ(text->Rewrite(), Application::MBE_Success);

    auto e = elementAt(node);
    ASSERT_EQ(e->nextComponent(), 0);
    ASSERT_EQ(e->nextComponent(), 0);
    ASSERT_EQ(e->setString("Bee, grown"), Application::MBE_Success);
    ASSERT_EQ(e->Rewrite(), Application::MBE_Success);

    auto visited = walk();
    std::vector<int32_t> types;
    for (const auto& v : visited) types.push_back(v.second);
    EXPECT_EQ(std::count(types.begin(), types.end(), 7), 1);
    EXPECT_EQ(std::count(types.begin(), types.end(), 17), 1);
    // The moved node counts its lines and knows the longest, "Bee, grown".
    const dgn::DesignFile written = dgn::DesignFile::open(file);
    const auto& moved =
        std::get<dgn::TextNodeBody>(written.find(visited.back().first)->element.body);
    EXPECT_EQ(moved.numStrings, 3);
    EXPECT_EQ(moved.maxUsed, 10);

    // Read back by GDAL: the same-size text kept its place, the grown node moved to the end.
    std::vector<std::string> texts;
    for (const auto& f : vtl::test::ofType(vtl::test::ogrFeatures(file), 17)) {
        texts.push_back(f.field("Text"));
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"A MUCH LONGER TEXT NOW", "A", "Bee, grown", "C"}));
    auto reopened = createSession(journal);
    reopened->MbeSendCommand("newfile " + file.string());
    auto again = reopened->MbeElement();
    EXPECT_EQ(again->fromFile(static_cast<int32_t>(grownText)), static_cast<int32_t>(grownText));
    std::string value;
    again->GetString(value);
    EXPECT_EQ(value, "A MUCH LONGER TEXT NOW");
}

TEST_F(ElementWalkTest, SetStringOnlyChangesTexts) {
    auto line = elementAt(lineString);
    EXPECT_NE(line->setString("x"), Application::MBE_Success);
    auto text = elementAt(grownText);
    ASSERT_EQ(text->setString(std::string(300, 'x')), Application::MBE_Success);
    EXPECT_THROW(text->Rewrite(), Error);  // V7 texts hold at most 255 characters
}

TEST_F(ElementWalkTest, ExpressionsReadThePublishedElement) {
    auto e = elementAt(node);
    ASSERT_EQ(e->Publish("elem"), Application::MBE_Success);
    EXPECT_EQ(app->MbeCExpressionLong("elem.currentPosition->el.text_node_2d.nodenumber"), 7);
    try {
        app->MbeCExpressionLong("tcb->ext_locks.fence_overlap");
        FAIL() << "an unknown expression was evaluated";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), err::AutomationError);
    }
    EXPECT_THROW(app->MbeCExpressionLong("other.currentPosition->el.text_node_2d.nodenumber"),
                 Error);
}

TEST_F(ElementWalkTest, NothingToReadWithoutAFileOrBeyondItsEnd) {
    auto fresh = createSession(journal);
    auto e = fresh->MbeElement();
    EXPECT_LT(e->fromFile(0), 0);
    EXPECT_THROW(e->Type(), Error);
    auto here = app->MbeElement();
    EXPECT_LT(here->fromFile(1 << 30), 0);
    EXPECT_LT(here->fromFile(0, 1), 0);  // no reference file is attached
    EXPECT_EQ(app->MbeRefFiles()->maxRefFiles(), 0);
}

TEST_F(ElementWalkTest, ARewriteAfterAnotherFileWasOpenedIsRefused) {
    auto text = elementAt(grownText);
    open(newFile("other.dgn"));
    text->setString("changed");
    EXPECT_THROW(text->Rewrite(), Error);
}

}  // namespace
}  // namespace vtl::ustation::test
