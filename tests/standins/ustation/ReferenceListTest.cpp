// The reference list and the element walk through references, answered from the attachments
// stored in the open design file; opening a file leaves it as it was.
#include <filesystem>

#include "EngineFixture.h"
#include "core/Error.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"

namespace vtl::ustation::test {
namespace {

namespace fs = std::filesystem;

class ReferenceListTest : public EngineTest {
protected:
    void SetUp() override {
        // The reference: one line from (0, 0) to (10, 5).
        reference = newFile("key plan.dgn");
        {
            dgn::DesignFile r = dgn::DesignFile::open(reference);
            const dgn::DesignHeader& h = r.header();
            r.append(dgn::makeLine(h.toUors(0, 0), h.toUors(10, 5)));
        }
        master = newFile("master.dgn");
        dgn::DesignFile m = dgn::DesignFile::open(master);
        const dgn::DesignHeader& h = m.header();
        dgn::ReferenceBody shown;
        shown.file = reference.string();
        shown.logicalName = "VTL";
        // Twice its size, its origin at (100, 200) of the master file.
        shown.transform = {2, 0, 0, 0, 2, 0, 0, 0, 2};
        shown.referenceOrigin = h.toUors(0, 0);
        shown.masterOrigin = h.toUors(100, 200);
        dgn::attachReference(m, shown);
        dgn::ReferenceBody missing;
        missing.file = "gone.dgn";  // beside the master file, where there is none
        dgn::attachReference(m, missing);
        dgn::ReferenceBody off;
        off.file = "key plan.dgn";
        off.displayOptions = 0;
        dgn::attachReference(m, off);
    }

    fs::path reference, master;
};

TEST_F(ReferenceListTest, AnswersFromTheAttachmentsOfTheOpenFile) {
    open(master);
    auto refs = app->MbeRefFiles();
    EXPECT_EQ(refs->maxRefFiles(), 3);
    EXPECT_TRUE(refs->active(1));
    EXPECT_FALSE(refs->notFound(1));
    EXPECT_TRUE(refs->display(1));
    EXPECT_EQ(refs->Filename(1), reference.string());

    EXPECT_TRUE(refs->active(2));
    EXPECT_TRUE(refs->notFound(2));
    EXPECT_EQ(refs->Filename(2), (dir / "gone.dgn").string());

    EXPECT_TRUE(refs->active(3));
    EXPECT_FALSE(refs->notFound(3));  // a relative name is found beside the master file
    EXPECT_FALSE(refs->display(3));

    EXPECT_FALSE(refs->active(4));
    EXPECT_FALSE(refs->display(4));
    EXPECT_EQ(refs->Filename(4), "");
}

TEST_F(ReferenceListTest, TheListFollowsTheFileThatIsOpen) {
    auto refs = app->MbeRefFiles();
    EXPECT_EQ(refs->maxRefFiles(), 0);  // nothing open yet
    open(master);
    EXPECT_EQ(refs->maxRefFiles(), 3);
    open(reference);
    EXPECT_EQ(refs->maxRefFiles(), 0);
}

TEST_F(ReferenceListTest, TheWalkThroughAnAttachmentGivesPointsWhereTheyShow) {
    open(master);
    auto e = app->MbeElement();
    int lines = 0;
    for (int32_t p = e->fromFile(0, 1); p >= 0; p = e->fromFile(p + e->fileSize(), 1)) {
        if (e->Type() != 3) continue;
        ++lines;
        mstn::Point start, end;
        ASSERT_EQ(e->getEndPoints(start, end), mstn::Application::MBE_Success);
        EXPECT_EQ(start.x, 100);
        EXPECT_EQ(start.y, 200);
        EXPECT_EQ(end.x, 120);
        EXPECT_EQ(end.y, 210);
        EXPECT_THROW(e->Rewrite(), Error);
    }
    EXPECT_EQ(lines, 1);
    EXPECT_LT(e->fromFile(0, 2), 0);  // its file is missing
    EXPECT_LT(e->fromFile(0, 9), 0);  // no attachment in that slot
    // The master file itself holds no line.
    for (int32_t p = e->fromFile(0); p >= 0; p = e->fromFile(p + e->fileSize())) {
        EXPECT_NE(e->Type(), 3);
    }
}

TEST_F(ReferenceListTest, OpeningAndLeavingAFileDoesNotChangeIt) {
    const std::string before = vtl::test::readFile(master);
    open(master);
    open(reference);
    app->MbeSendCommand("exit");
    EXPECT_EQ(vtl::test::readFile(master), before);
}

}  // namespace
}  // namespace vtl::ustation::test
