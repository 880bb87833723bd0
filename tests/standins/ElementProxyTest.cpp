// The element proxy against the stand-in's own session over a real local socket: a walk reads
// many elements per round trip, answers members without one, and sends only what changed; what
// it writes is what a walk member by member would write, as GDAL reads it back.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <algorithm>
#include <string>
#include <vector>

#include "Session.h"
#include "core/Text.h"
#include "dgn/DesignFile.h"
#include "mstn/RemoteApplication.h"
#include "standins/dgn/GdalTools.h"
#include "support/ServerThread.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;
using mstn::Application;

class ElementProxyTest : public ::testing::Test {
protected:
    void SetUp() override {
        file = dir / "walk.dgn";
        dgn::DesignFile d = dgn::DesignFile::create(file, dgn::Dimension::Two);
        const dgn::DesignHeader h = d.header();
        std::vector<dgn::Element> lines;
        for (const char* line : {"A", "B", "C"}) {
            lines.push_back(dgn::makeText(line, h.toUors(5, 5), 1000, 1000));
        }
        node = static_cast<int32_t>(
            d.append(dgn::makeTextNode(7, h.toUors(5, 6), 1000, 1000, 500), lines));
        for (int i = 0; i < kTexts; ++i) {
            dgn::Element text = dgn::makeText("T" + std::to_string(i), h.toUors(i, 0), 1000, 1000);
            text.level = 1 + i % 3;
            text.symbology = {i % 5, 1, 0};
            d.append(text);
        }
        last = static_cast<int32_t>(d.append(dgn::makeLine(h.toUors(0, 0), h.toUors(3, 4))));
        server = std::make_unique<test::ServerThread>(*session);
        app = mstn::connectApplication();
        app->MbeSendCommand("newfile " + file.string());
    }
    void TearDown() override {
        app.reset();
        server.reset();
    }

    // The element member calls the server received, by name.
    int received(const std::string& member) const {
        int n = 0;
        for (const std::string& line : text::split(test::readFile(journalPath()), '\n')) {
            n += line.find("call " + member + "(") != std::string::npos;
        }
        return n;
    }
    static fs::path journalPath() { return ustation::Journal::defaultPath(); }
    std::vector<std::string> textsByGdal() const {
        std::vector<std::string> texts;
        for (const auto& f : test::ofType(test::ogrFeatures(file), 17))
            texts.push_back(f.field("Text"));
        return texts;
    }

    static constexpr int kTexts = 600;
    test::ScopedPlatformHome home;
    test::TempDir dir;
    ustation::Journal journal;
    std::unique_ptr<ustation::StandInApplication> session = ustation::createSession(journal);
    std::unique_ptr<test::ServerThread> server;
    std::shared_ptr<Application> app;
    fs::path file;
    int32_t node = 0, last = 0;
};

TEST_F(ElementProxyTest, AWalkReadsManyElementsPerRoundTripAndAnswersMembersItself) {
    auto e = app->MbeElement();
    std::vector<std::string> texts;
    int levels = 0, elements = 0;
    for (int32_t p = e->fromFile(0); p >= 0; p = e->fromFile(p + e->fileSize())) {
        ++elements;
        EXPECT_EQ(e->filePos(), p);
        if (e->Type() != 17) continue;
        std::string value;
        ASSERT_EQ(e->GetString(value), Application::MBE_Success);
        texts.push_back(value);
        levels += e->Level();
    }
    ASSERT_EQ(texts.size(), static_cast<size_t>(kTexts));
    EXPECT_EQ(texts.front(), "T0");  // the node's lines are no texts of their own
    EXPECT_EQ(texts.back(), "T599");
    EXPECT_EQ(levels, 200 * 1 + 200 * 2 + 200 * 3);
    // The design file's own elements, the node, the 600 texts and the line, 256 per fetch.
    EXPECT_GE(elements, 602);
    EXPECT_EQ(received("fromFile"), (elements + 255) / 256);
    EXPECT_EQ(received("Type") + received("GetString") + received("Level") + received("fileSize"),
              0);
    EXPECT_LT(e->fromFile(last + 1), 0);
}

TEST_F(ElementProxyTest, ARewriteSendsWhatChangedAndNothingForAnUnchangedElement) {
    auto e = app->MbeElement();
    for (int32_t p = e->fromFile(0); p >= 0; p = e->fromFile(p + e->fileSize())) {
        std::string value;
        if (e->GetString(value) != Application::MBE_Success) continue;
        if (value == "T10") {
            ASSERT_EQ(e->setString("X10"), Application::MBE_Success);
        }
        ASSERT_EQ(e->Rewrite(), Application::MBE_Success);
        EXPECT_EQ(e->filePos(), p);  // the same size: rewritten in place
    }
    EXPECT_EQ(received("Rewrite"), 1);
    EXPECT_EQ(received("setString"), 1);
    EXPECT_EQ(received("fromFile"), 3);  // an in-place rewrite keeps the elements sent valid
    std::vector<std::string> texts = textsByGdal();
    ASSERT_EQ(texts.size(), static_cast<size_t>(kTexts + 3));
    EXPECT_EQ(texts[3 + 10], "X10");
    EXPECT_EQ(texts[3 + 11], "T11");
}

TEST_F(ElementProxyTest, ATextNodeGetsEachChangedComponentAndAGrownOneMovesToTheEnd) {
    auto e = app->MbeElement();
    ASSERT_EQ(e->fromFile(node), node);
    EXPECT_EQ(e->Type(), 7);
    std::string value;
    EXPECT_NE(e->GetString(value), Application::MBE_Success);
    EXPECT_NE(e->setString("x"), Application::MBE_Success);
    ASSERT_EQ(e->nextComponent(), 0);
    ASSERT_EQ(e->setString("A grown line"), Application::MBE_Success);
    ASSERT_EQ(e->nextComponent(), 0);
    ASSERT_EQ(e->nextComponent(), 0);
    ASSERT_EQ(e->setString("Z"), Application::MBE_Success);
    EXPECT_NE(e->nextComponent(), 0);
    ASSERT_EQ(e->Rewrite(), Application::MBE_Success);
    const int32_t moved = e->filePos();
    EXPECT_GT(moved, last);
    // The object holds the moved node at its last component still.
    ASSERT_EQ(e->GetString(value), Application::MBE_Success);
    EXPECT_EQ(value, "Z");

    const dgn::DesignFile written = dgn::DesignFile::open(file);
    const auto& header = std::get<dgn::TextNodeBody>(written.at(moved)->element.body);
    EXPECT_EQ(header.numStrings, 3);
    EXPECT_EQ(header.maxUsed, 12);
    EXPECT_TRUE(written.at(node)->element.deleted);
    const std::vector<std::string> texts = textsByGdal();
    EXPECT_EQ(std::vector<std::string>(texts.end() - 3, texts.end()),
              (std::vector<std::string>{"A grown line", "B", "Z"}));
    // The walk goes on from the old place, to the first text, and meets the moved node at the end.
    ASSERT_GT(e->fromFile(node), node);
    EXPECT_EQ(e->Type(), 17);
    ASSERT_EQ(e->fromFile(last), last);
    ASSERT_EQ(e->fromFile(last + e->fileSize()), moved);
}

TEST_F(ElementProxyTest, AnyOtherCallMakesTheNextReadAskTheServerAgain) {
    auto e = app->MbeElement();
    ASSERT_EQ(e->fromFile(0), 0);
    const int32_t second = e->fromFile(e->fileSize());
    EXPECT_EQ(received("fromFile"), 1);
    // A key-in may change the file: what was sent is no longer trusted.
    app->MbeSendCommand("place lstring;xy=0,0;xy=1,1;reset");
    EXPECT_EQ(e->fromFile(second), second);
    EXPECT_EQ(received("fromFile"), 2);
    // An unchanged element read since then is rewritten without a call; after another call
    // the server checks the element is still there.
    EXPECT_EQ(e->Rewrite(), Application::MBE_Success);
    app->MbeSendCommand("null");
    EXPECT_EQ(received("Rewrite"), 0);
    EXPECT_EQ(e->Rewrite(), Application::MBE_Success);
    app->MbeSendCommand("null");
    EXPECT_EQ(received("Rewrite"), 1);
}

TEST_F(ElementProxyTest, ARewriteTheServerRefusesFailsAndLeavesTheFileAsItWas) {
    auto e = app->MbeElement();
    ASSERT_EQ(e->fromFile(node), node);
    const int32_t text = e->fromFile(node + e->fileSize());
    // Longer than any V7 text.
    ASSERT_EQ(e->setString(std::string(300, 'x')), Application::MBE_Success);
    try {
        e->Rewrite();
        FAIL() << "the rewrite did not fail";
    } catch (const Error& error) {
        EXPECT_NE(error.description().find("255"), std::string::npos) << error.description();
    }
    ASSERT_EQ(e->fromFile(text), text);
    std::string value;
    e->GetString(value);
    EXPECT_EQ(value, "T0");
    EXPECT_EQ(textsByGdal()[3], "T0");
}

TEST_F(ElementProxyTest, TheServersObjectHoldsWhatTheProxyHoldsWhenACallNeedsIt) {
    auto e = app->MbeElement();
    ASSERT_EQ(e->fromFile(0), 0);
    // The node came with the first fetch; the server's object still holds the first element.
    ASSERT_EQ(e->fromFile(node), node);
    EXPECT_EQ(received("fromFile"), 1);
    ASSERT_EQ(e->Publish("elem"), Application::MBE_Success);
    EXPECT_EQ(app->MbeCExpressionLong("elem.currentPosition->el.text_node_2d.nodenumber"), 7);

    // At the end of the file the proxy holds nothing, and neither does the server's object.
    ASSERT_EQ(e->fromFile(last), last);
    EXPECT_LT(e->fromFile(last + e->fileSize()), 0);
    EXPECT_EQ(e->filePos(), -1);
    EXPECT_THROW(e->Type(), Error);
}

// Without waiting, a rewrite that keeps its size goes out at once and one that may move waits
// to learn whether its new place is asked for; the file and the calls received are the same as
// when each rewrite is waited for.
TEST_F(ElementProxyTest, RewritesSentWithoutWaitingLeaveTheFileAsWaitedOnesDo) {
    auto e = app->MbeElement();
    int32_t grownTo = -1;
    app->withoutWaiting([&] {
        for (int32_t p = e->fromFile(0), size = 0; p >= 0 && p <= last; p = e->fromFile(p + size)) {
            size = e->fileSize();
            std::string value;
            if (e->GetString(value) != Application::MBE_Success) continue;
            if (value == "T10") e->setString("X10");
            if (value == "T20") e->setString("Twenty");
            if (value == "T30") e->setString("T3");  // as many words: stays
            e->Rewrite();
            if (value == "T10") {
                EXPECT_EQ(e->filePos(), p);
            }
            if (value == "T20") grownTo = e->filePos();
        }
    });
    EXPECT_GT(grownTo, last);
    EXPECT_EQ(received("Rewrite"), 3);
    EXPECT_EQ(received("setString"), 3);
    const std::vector<std::string> texts = textsByGdal();
    ASSERT_EQ(texts.size(), static_cast<size_t>(kTexts + 3));
    EXPECT_EQ(texts[3 + 10], "X10");
    EXPECT_EQ(texts[3 + 11], "T11");
    EXPECT_EQ(texts[3 + 29], "T3");  // T20 left its place
    EXPECT_EQ(texts.back(), "Twenty");
}

// A rewrite the server refuses stops the work where a waiting caller would have stopped: what
// waited for the calls before it runs, nothing sent after it is run, and its error is raised.
TEST_F(ElementProxyTest, ARefusedRewriteSentWithoutWaitingEndsTheWorkThere) {
    auto e = app->MbeElement();
    std::vector<std::string> confirmed;
    try {
        app->withoutWaiting([&] {
            for (int32_t p = e->fromFile(0), size = 0; p >= 0; p = e->fromFile(p + size)) {
                size = e->fileSize();
                std::string value;
                if (e->GetString(value) != Application::MBE_Success) continue;
                if (value == "T5" || value == "T7") {
                    app->whenRun([&confirmed, value] { confirmed.push_back(value); });
                    e->setString(value == "T5" ? std::string(300, 'x') : "X7");
                }
                e->Rewrite();
            }
        });
        FAIL() << "the refused rewrite was not raised";
    } catch (const Error& error) {
        EXPECT_NE(error.description().find("255"), std::string::npos) << error.description();
    }
    EXPECT_EQ(confirmed, std::vector<std::string>{"T5"});
    EXPECT_EQ(received("Rewrite"), 1);
    const std::vector<std::string> texts = textsByGdal();
    EXPECT_EQ(texts[3 + 5], "T5");
    EXPECT_EQ(texts[3 + 7], "T7");
}

// A C expression names the published element on the server, so the server has to hold the
// element the walk holds: a published walk asks the server for every element.
TEST_F(ElementProxyTest, APublishedElementShowsExpressionsTheElementTheWalkHolds) {
    const fs::path nodes = dir / "nodes.dgn";
    {
        dgn::DesignFile d = dgn::DesignFile::create(nodes, dgn::Dimension::Two);
        const dgn::DesignHeader h = d.header();
        auto text = [&](const char* t) { return dgn::makeText(t, h.toUors(1, 1), 1000, 1000); };
        for (const char* t : {"a", "b", "c"}) d.append(text(t));
        d.append(dgn::makeTextNode(12, h.toUors(2, 2), 1000, 1000, 500), {text("n")});
        d.append(text("d"));
        d.append(dgn::makeLine(h.toUors(0, 0), h.toUors(3, 4)));
        d.append(dgn::makeTextNode(40000, h.toUors(3, 3), 1000, 1000, 500));
        d.append(dgn::makeTextNode(3, h.toUors(4, 4), 1000, 1000, 500), {text("m")});
    }
    app->MbeSendCommand("newfile " + nodes.string());
    auto e = app->MbeElement();
    int32_t position = e->fromFile(0, 0);
    e->Publish("elem");
    std::vector<int32_t> numbers;
    while (position >= 0) {
        if (e->Type() == 7) {
            numbers.push_back(
                app->MbeCExpressionLong("elem.currentPosition->el.text_node_2d.nodenumber"));
        }
        position = e->fromFile(position + e->fileSize());
    }
    EXPECT_EQ(numbers, (std::vector<int32_t>{12, 40000, 3}));
}

}  // namespace
}  // namespace vtl
