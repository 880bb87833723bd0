// Text nodes refilled as the node filling does it: an element located by a data point, matched,
// deleted, an empty node of the same number placed and its text entered in the text editor;
// the user preferences that set the locate tolerance; GDAL reads the result back.
#include <algorithm>

#include "EngineFixture.h"
#include "core/Error.h"
#include "dgn/DesignFile.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;
using vtl::test::ofType;
using vtl::test::OgrFeature;
using vtl::test::ogrFeatures;

struct Node {
    int number;
    std::vector<std::string> lines;
    int level;
};

class NodeEditTest : public EngineTest {
protected:
    // The text nodes of the file in file order, with their lines.
    std::vector<Node> nodes(const fs::path& file) {
        dgn::DesignFile design = dgn::DesignFile::open(file);
        std::vector<Node> found;
        for (const dgn::Record& r : design.records()) {
            if (r.element.deleted || r.component) continue;
            const auto* node = std::get_if<dgn::TextNodeBody>(&r.element.body);
            if (!node) continue;
            Node n{node->nodeNumber, {}, r.element.level};
            for (const dgn::Record* line : design.components(r)) {
                n.lines.push_back(*dgn::textOf(line->element));
            }
            found.push_back(n);
        }
        return found;
    }

    // The refill of one node, call by call, as the node filling sends it.
    void refill(const mstn::Point& at, int number, const std::string& text) {
        app->MbeSendCommand("match element");
        app->mbeSendDataPoint(at);
        app->MbeSendCommand("dx=0");
        app->MbeSendCommand("delete element");
        app->mbeSendDataPoint(at);
        app->MbeSendCommand("dx=0");
        app->MbeSendCommand("nn= " + std::to_string(number));
        app->MbeSendCommand("place node");
        app->mbeSendDataPoint(at);
        app->MbeSendCommand("EDIT TEXT");
        app->mbeSendDataPoint(at);
        app->MbeSendCommand("dx=0");
        app->MbeSendAppMessage("TEXTEDIT", "FirstLine " + text);
        app->MbeSendAppMessage("TEXTEDIT", "ApplyBtn");
        app->MbeSendReset();
        app->MbeSendCommand("NULL");
    }

    bool unknownKeyins() const {
        const std::vector<std::string> lines = journalLines();
        return std::any_of(lines.begin(), lines.end(),
                           [](const std::string& l) { return l.starts_with("UNKNOWN"); });
    }
};

TEST_F(NodeEditTest, ARefilledNodeKeepsNumberPlaceAndSymbologyWithTheNewText) {
    const fs::path file = newFile("iso.i01");
    open(file);
    app->MbeSendCommand("lv=4;co=2;wt=1;nn=5;place node;Old text;xy=10,20;NULL");
    app->MbeSendCommand("lv=3;co=1;nn=9;place node;xy=40,20;NULL");
    app->MbeSendCommand("lv=1;co=0;wt=0");
    refill({10, 20, 0}, 5, "New text");
    refill({40, 20, 0}, 9, "Filled");

    std::vector<Node> found = nodes(file);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].number, 5);
    EXPECT_EQ(found[0].lines, std::vector<std::string>{"New text"});
    EXPECT_EQ(found[0].level, 4);
    EXPECT_EQ(found[1].number, 9);
    EXPECT_EQ(found[1].lines, std::vector<std::string>{"Filled"});
    EXPECT_EQ(found[1].level, 3);

    std::vector<OgrFeature> texts = ofType(ogrFeatures(file), 17);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].field("Text"), "New text");
    EXPECT_EQ(texts[0].number("Level"), 4);
    EXPECT_EQ(texts[0].number("ColorIndex"), 2);
    EXPECT_EQ(texts[0].coordinates()[0], 10);
    EXPECT_EQ(texts[1].field("Text"), "Filled");
    EXPECT_EQ(texts[1].number("ColorIndex"), 1);
    EXPECT_FALSE(unknownKeyins());
}

TEST_F(NodeEditTest, ADataPointTakesTheNewestElementWithinTheLocateTolerance) {
    const fs::path file = newFile("lines.dgn");
    open(file);
    // The view is 100 units wide: a pixel is 100/1024 of a unit.
    app->MbeSendCommand(
        "place lstring;xy=0,0;xy=100,0;reset;place lstring;xy=0,50;xy=100,50;reset");
    app->MbeSendCommand("place lstring;xy=50,-10;xy=50,10;reset");  // newest, crossing the first
    app->MbeSendCommand("delete element;xy=50,0;dx=0");
    std::vector<OgrFeature> strings = ofType(ogrFeatures(file), 4);
    ASSERT_EQ(strings.size(), 2u);
    EXPECT_EQ(strings[0].coordinates(), (std::vector<double>{0, 0, 100, 0}));

    // Half a unit off the first line: within 10 pixels, not within 1.
    auto macro = dir.write("tolerance.bas",
                           "Sub main\r\nMbeSetAppVariable\"USERPREF\", \"savePrefs.locateTol\", "
                           "1&\r\nEnd Sub\r\n");
    app->MbeSendCommand("MDL SILENTLOAD USERPREF;macro " + macro.string() + ";MBE1 CLOSEMODAL OK");
    app->MbeSendCommand("delete element;xy=30,0.5;dx=0;NULL");
    EXPECT_EQ(ofType(ogrFeatures(file), 4).size(), 2u);
    EXPECT_TRUE(journalHas("note delete element: no element found at the data point"));
    app->MbeSetAppVariable("USERPREF", "savePrefs.locateTol", 10);
    app->MbeSendCommand("delete element;xy=30,0.5;dx=0;NULL");
    strings = ofType(ogrFeatures(file), 4);
    ASSERT_EQ(strings.size(), 1u);
    EXPECT_EQ(strings[0].coordinates(), (std::vector<double>{0, 50, 100, 50}));
    EXPECT_FALSE(unknownKeyins());
    EXPECT_FALSE(journalHas("note no modal dialog is open to close"));
}

TEST_F(NodeEditTest, TheTextEditorChangesTextsAndEmptiesNodesAsThePreferenceSays) {
    const fs::path file = newFile("texts.dgn");
    open(file);
    app->MbeSendCommand("place text;Plain;xy=0,0;reset");
    app->MbeSendCommand("nn=1;place node;One;Two;xy=20,0;NULL");
    app->MbeSendCommand("nn=2;place node;Gone;xy=40,0;NULL");
    app->MbeSendCommand("EDIT TEXT;xy=0,0.5;dx=0");
    app->MbeSendAppMessage("TEXTEDIT", "FirstLine Changed");
    app->MbeSendAppMessage("TEXTEDIT", "ApplyBtn");
    app->MbeSendCommand("reset;xy=20,0;dx=0");  // the node's first line only
    app->MbeSendAppMessage("TEXTEDIT", "FirstLine Uno");
    app->MbeSendAppMessage("TEXTEDIT", "ApplyBtn");
    app->MbeSetAppVariable("USERPREF", "savePrefs.moreFlags.preserveTextNodes", 0);
    app->MbeSendCommand("reset;xy=40,0;dx=0");  // emptied without preserving: deleted
    app->MbeSendAppMessage("TEXTEDIT", "FirstLine ");
    app->MbeSendAppMessage("TEXTEDIT", "ApplyBtn");
    app->MbeSendCommand("NULL");

    std::vector<Node> found = nodes(file);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].lines, (std::vector<std::string>{"Uno", "Two"}));
    // The plain text grew: it was written anew at the end.
    std::vector<std::string> texts;
    for (const OgrFeature& f : ofType(ogrFeatures(file), 17)) texts.push_back(f.field("Text"));
    EXPECT_EQ(texts, (std::vector<std::string>{"Uno", "Two", "Changed"}));
}

TEST_F(NodeEditTest, MessagesAndKeyinsThatCannotBeCarriedOutAreJournaled) {
    open(newFile("notes.dgn"));
    app->MbeSendCommand("place lstring;xy=0,0;xy=10,0;reset");
    app->MbeSendAppMessage("TEXTEDIT", "ApplyBtn");
    EXPECT_TRUE(journalHas("note no application takes the message: TEXTEDIT ApplyBtn"));
    app->MbeSendCommand("EDIT TEXT;xy=5,0;dx=0");
    EXPECT_TRUE(journalHas("note EDIT TEXT: the identified element holds no text"));
    app->MbeSendAppMessage("TEXTEDIT", "FirstLine x");
    EXPECT_TRUE(journalHas("note TEXTEDIT: no text is being edited: FirstLine x"));
    app->MbeSendCommand("NULL;MBE1 CLOSEMODAL OK;MDL SILENTLOAD NOAPP;set parseall maybe");
    EXPECT_TRUE(journalHas("note no modal dialog is open to close"));
    EXPECT_TRUE(journalHas("note MDL application not found: NOAPP"));
    EXPECT_TRUE(journalHas("note set parseall takes on, off or toggle: maybe"));
    app->MbeSetAppVariable("USERPREF", "savePrefs.locateTol", 2.5);
    EXPECT_TRUE(journalHas("note USERPREF variable not set: savePrefs.locateTol = 2.5"));
    EXPECT_FALSE(unknownKeyins());
}

TEST_F(NodeEditTest, NodeNumbersAreReadAsUnsignedWords) {
    open(newFile("numbers.dgn"));
    app->MbeSendCommand("nn=40000;place node;A;xy=1,1;NULL");
    auto element = app->MbeElement();
    int32_t position = element->fromFile(0);
    while (position >= 0 && element->Type() != 7)
        position = element->fromFile(position + element->fileSize());
    ASSERT_GE(position, 0);
    element->Publish("elem");
    EXPECT_EQ(app->MbeCExpressionLong("elem.currentPosition->el.text_node_2d.nodenumber"), 40000);
}

}  // namespace
}  // namespace vtl::ustation::test
