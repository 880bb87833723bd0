// References and the fence, as the cover sheet and the iso-drawing stamps drive them: files
// attached through a saved view at a scale and an origin, located or not, detached; the fence's
// lock, unlock, delete and copy. ogrinfo reads what the copies left in the master file.
#include <algorithm>
#include <filesystem>

#include "EngineFixture.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"
#include "standins/dgn/GdalTools.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;
using vtl::test::ofType;
using vtl::test::OgrFeature;
using vtl::test::ogrFeatures;

dgn::Element onLevel(dgn::Element e, int level) {
    e.level = level;
    return e;
}

class ReferenceFenceTest : public EngineTest {
protected:
    void SetUp() override {
        // The overview: a pipe (10, 10)-(20, 10) and a text at (30, 15) in the saved view VTL
        // (0, 0)-(40, 20), whose centre is (20, 10); a pipe at (60, 60) lies outside it.
        overview = newFile("P1.vtl");
        {
            dgn::DesignFile f = dgn::DesignFile::open(overview);
            const dgn::DesignHeader& h = f.header();
            f.append(onLevel(dgn::makeLineString({h.toUors(10, 10), h.toUors(20, 10)}), 10));
            f.append(onLevel(dgn::makeText("N", h.toUors(30, 15), 10000, 10000), 20));
            f.append(onLevel(dgn::makeLineString({h.toUors(60, 60), h.toUors(70, 60)}), 10));
            saveView(f, "VTL", h.toUors(0, 0), {400000, 200000, 0});
        }
        // The 2-D view of the 3-D drawing: (0, 0)-(4, 0) in the view I3D (-1, -1)-(5, 1).
        view2d = newFile("I3D2D.dgn");
        {
            dgn::DesignFile f = dgn::DesignFile::open(view2d);
            const dgn::DesignHeader& h = f.header();
            f.append(onLevel(dgn::makeLineString({h.toUors(0, 0), h.toUors(4, 0)}), 10));
            saveView(f, "I3D", h.toUors(-1, -1), {60000, 20000, 0});
        }
        // The cover sheet: a frame on level 1, and on level 62 a note and a locked line.
        sheet = newFile("P1.ics");
        dgn::DesignFile f = dgn::DesignFile::open(sheet);
        const dgn::DesignHeader& h = f.header();
        f.append(onLevel(dgn::makeLineString({h.toUors(0, 0), h.toUors(420, 0)}), 1));
        f.append(onLevel(dgn::makeText("OLD", h.toUors(5, 5), 10000, 10000), 62));
        dgn::Element lockedLine = onLevel(dgn::makeLine(h.toUors(1, 1), h.toUors(2, 2)), 62);
        lockedLine.properties = dgn::prop::Locked;
        f.append(lockedLine);
    }

    static void saveView(dgn::DesignFile& f, const std::string& name, dgn::Point origin,
                         dgn::Point delta) {
        dgn::ViewInfo view = f.headerViews()[0];
        view.origin = origin;
        view.delta = delta;
        dgn::SavedViewBody saved;
        saved.name = name;
        saved.views = {view};
        dgn::saveView(f, saved);
    }

    void attachBoth() {
        app->MbeSendCommand("REFERENCE DETACH i3d");
        app->MbeSendCommand("rf=" + view2d.string() + ",i3d;Vistrel;i3d;10:1;xy=300,40");
        app->MbeSendCommand("REFERENCE DETACH vtl");
        app->MbeSendCommand("rf=" + overview.string() + ",vtl;Vistrel;vtl;2:1;xy=100,50");
    }

    std::vector<std::string> texts() {
        std::vector<std::string> found;
        for (const OgrFeature& t : ofType(ogrFeatures(sheet), 17)) found.push_back(t.field("Text"));
        return found;
    }

    fs::path overview, view2d, sheet;
};

TEST_F(ReferenceFenceTest, AnAttachmentShowsItsSavedViewScaledWithTheViewCentreAtTheOrigin) {
    open(sheet);
    attachBoth();
    const dgn::DesignFile design = dgn::DesignFile::open(sheet);
    const dgn::DesignHeader& h = design.header();
    const std::vector<dgn::StoredReference> refs = dgn::references(design);
    ASSERT_EQ(refs.size(), 2u);
    const dgn::ReferenceBody& vtl = refs[1].body;
    EXPECT_EQ(vtl.file, overview.string());
    EXPECT_EQ(vtl.logicalName, "vtl");
    EXPECT_EQ(vtl.description, "Vistrel");
    EXPECT_EQ(vtl.fileNumber, 2);
    EXPECT_EQ(vtl.transform, (std::array<double, 9>{2, 0, 0, 0, 2, 0, 0, 0, 2}));
    EXPECT_EQ(vtl.referenceOrigin, h.toUors(20, 10));
    EXPECT_EQ(vtl.masterOrigin, h.toUors(100, 50));
    EXPECT_EQ(vtl.clip.size(), 5u);
    // (10, 10) of the overview lies at 100 + 2 * (10 - 20), 50 + 2 * (10 - 10).
    EXPECT_EQ(dgn::referenceToMaster(vtl, h.toUors(10, 10)),
              (std::array<double, 3>{double(h.toUors(80, 50).x), double(h.toUors(80, 50).y), 0}));
    auto list = app->MbeRefFiles();
    EXPECT_EQ(list->maxRefFiles(), 2);
    EXPECT_EQ(list->Filename(1), view2d.string());
    EXPECT_TRUE(list->display(2));
    // Attached again under its name, a reference is detached first: still two.
    attachBoth();
    EXPECT_EQ(dgn::references(dgn::DesignFile::open(sheet)).size(), 2u);
}

// The end-number table's "rf=FILE,i01;reset": a reset at the first prompt attaches the whole file
// where it lies; a later reset attaches nothing more, and another command gives the key-in up.
TEST_F(ReferenceFenceTest, AResetAtTheFirstPromptAttachesTheWholeFileCoincident) {
    open(sheet);
    app->MbeSendCommand("rf=" + overview.string() + ",i01;reset;reset");
    app->MbeSendCommand("rf=" + (dir / "gone.dgn").string() + ",i02;reset");
    app->MbeSendCommand("rf=" + view2d.string() + ",i03;place text;T;xy=1,1");
    const dgn::DesignFile design = dgn::DesignFile::open(sheet);
    const dgn::DesignHeader& h = design.header();
    const std::vector<dgn::StoredReference> refs = dgn::references(design);
    ASSERT_EQ(refs.size(), 1u);
    const dgn::ReferenceBody& i01 = refs[0].body;
    EXPECT_EQ(i01.logicalName, "i01");
    EXPECT_EQ(i01.file, overview.string());
    EXPECT_TRUE(i01.clip.empty());
    // (60, 60), outside the overview's saved view, shows where it lies.
    EXPECT_EQ(dgn::referenceToMaster(i01, h.toUors(60, 60)),
              (std::array<double, 3>{double(h.toUors(60, 60).x), double(h.toUors(60, 60).y), 0}));
    EXPECT_EQ(app->MbeRefFiles()->maxRefFiles(), 1);
    EXPECT_TRUE(journalHas("note attached " + overview.string() + " as i01 in slot 1"));
    const std::vector<std::string> lines = journalLines();
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.starts_with("note reference " + (dir / "gone.dgn").string() +
                                " not attached: ");
    }));
    app->MbeSendCommand("REFERENCE DETACH i01");
    EXPECT_TRUE(dgn::references(dgn::DesignFile::open(sheet)).empty());
}

TEST_F(ReferenceFenceTest, WhatCannotBeAttachedIsRefusedWithAReason) {
    open(sheet);
    app->MbeSendCommand("rf=" + (dir / "gone.dgn").string() + ",a;Vistrel;vtl;1:1;xy=0,0");
    app->MbeSendCommand("rf=" + overview.string() + ",b;Vistrel;nosuch;1:1;xy=0,0");
    app->MbeSendCommand("rf=" + overview.string() +
                        ",c;Vistrel;vtl;Im_INI-File_nicht_definiert;xy=0,0");
    app->MbeSendCommand("REFERENCE DETACH d;reference locate on e");
    EXPECT_TRUE(dgn::references(dgn::DesignFile::open(sheet)).empty());
    EXPECT_TRUE(journalHas("note reference " + overview.string() +
                           " not attached: the file has no saved view nosuch"));
    EXPECT_TRUE(journalHas("note reference " + overview.string() +
                           " not attached: the scale Im_INI-File_nicht_definiert is not M:R"));
    EXPECT_TRUE(journalHas("note no reference d is attached"));
    EXPECT_TRUE(journalHas("note no reference e is attached"));
}

// The cover sheet's key-ins: the note and the locked line on level 62 go, the frame (level 1,
// not displayed meanwhile) stays, and what both references show is copied in through their
// scale and origin; nothing stays attached.
TEST_F(ReferenceFenceTest, TheCoverSheetCopiesWhatTheReferencesShowAndDetachesThem) {
    open(sheet);
    app->MbeSendCommand("lock fence void overlap;set weight on;selview all");
    app->MbeSendCommand("reference locate off all");
    attachBoth();
    for (const char* keyin :
         {"reference locate on vtl", "lv=62;lv=10", "of=1-63;selview all", "on=62;selview all",
          "place fence;xy=0;dx=0.001", "fence change unlock;dx=0", "fence delete;dx=0",
          "fence copy;xy=0;dx=0;reset;select", "reference locate on all",
          "lv=63;on=1-63;selview all", "REFERENCE DETACH vtl", "REFERENCE DETACH i3d",
          "lock fence inside;place fence;dx=0", "set fill off;selview all",
          "reset;fit all;dx=0;reset;select;compress design;file"}) {
        app->MbeSendCommand(keyin);
    }
    const std::vector<OgrFeature> features = ogrFeatures(sheet);
    const std::vector<OgrFeature> strings = ofType(features, 4);
    ASSERT_EQ(strings.size(), 3u);
    EXPECT_EQ(strings[0].coordinates(), (std::vector<double>{0, 0, 420, 0}));
    // The view's line: 300 + 10 * (x - 2), 40 + 10 * y.
    EXPECT_EQ(strings[1].coordinates(), (std::vector<double>{280, 40, 320, 40}));
    EXPECT_EQ(strings[1].number("Level"), 10);
    // The overview's pipe: 100 + 2 * (x - 20), 50 + 2 * (y - 10).
    EXPECT_EQ(strings[2].coordinates(), (std::vector<double>{80, 50, 100, 50}));
    const std::vector<OgrFeature> notes = ofType(features, 17);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].field("Text"), "N");
    EXPECT_EQ(notes[0].coordinates(), (std::vector<double>{120, 60}));
    EXPECT_NE(notes[0].style.find("s:2"), std::string::npos) << notes[0].style;
    EXPECT_TRUE(ofType(features, 3).empty()) << "the unlocked line is deleted";
    EXPECT_EQ(features.size(), 4u);
    EXPECT_TRUE(dgn::references(dgn::DesignFile::open(sheet)).empty());
}

TEST_F(ReferenceFenceTest, LockedElementsAndReferencesNotLocatedStayOutOfTheFence) {
    open(sheet);
    app->MbeSendCommand("rf=" + overview.string() + ",vtl;Vistrel;vtl;1:1;xy=0,0");
    app->MbeSendCommand("reference locate off VTL;lock fence overlap");
    app->MbeSendCommand("of=1-63;selview 1;on=62;selview 1");
    app->MbeSendCommand("place fence;xy=-10,-10;xy=500,500;fence delete;dx=0");
    app->MbeSendCommand("fence copy;xy=0;xy=0;reset");
    // The note is deleted, the locked line is not (and, the fence taking it, copied), and
    // nothing came from the reference.
    EXPECT_EQ(texts(), std::vector<std::string>{});
    EXPECT_EQ(ofType(ogrFeatures(sheet), 3).size(), 2u);
    EXPECT_EQ(ofType(ogrFeatures(sheet), 4).size(), 1u);
}

TEST_F(ReferenceFenceTest, TheLockDecidesWhichElementsTheFenceTakes) {
    open(sheet);
    app->MbeSendCommand("of=1-63;selview 1;on=62;selview 1");
    // The note at (5, 5) lies inside (0, 0)-(50, 50), the locked line too: inside takes them,
    // void takes nothing on the displayed level 62.
    app->MbeSendCommand("fence change unlock;dx=0");
    EXPECT_TRUE(journalHas("note no fence is placed"));
    app->MbeSendCommand("lock fence void;place fence;xy=0,0;xy=50,50;fence delete;dx=0");
    EXPECT_EQ(texts(), std::vector<std::string>{"OLD"});
    app->MbeSendCommand("lock fence inside;fence change unlock;dx=0;fence delete;dx=0");
    EXPECT_EQ(texts(), std::vector<std::string>{});
    EXPECT_TRUE(ofType(ogrFeatures(sheet), 3).empty());
    EXPECT_EQ(ofType(ogrFeatures(sheet), 4).size(), 1u) << "the frame is on a level not shown";
    app->MbeSendCommand("lock fence sideways");
    EXPECT_TRUE(journalHas("UNKNOWN keyin lock fence sideways"));
}

}  // namespace
}  // namespace vtl::ustation::test
