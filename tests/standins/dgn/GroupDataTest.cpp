// Reference attachments and saved views: their fields at the byte offsets V7 gives them, read
// back the same in 2-D and 3-D files, and kept in a design file as its attachments and views.
#include <gtest/gtest.h>

#include "core/Error.h"
#include "dgn/Attachments.h"
#include "dgn/DesignHeader.h"
#include "dgn/ElementCodec.h"
#include "dgn/Words.h"
#include "support/TempDir.h"

namespace vtl::dgn {
namespace {

using test::TempDir;

ReferenceBody sampleReference() {
    ReferenceBody r;
    r.file = "/p/seed.dgn";
    r.fileNumber = 3;
    r.displayOptions = refdisplay::Display;
    r.viewLevels[0] = {0x0003, 0, 0, 0x8000};
    r.viewLevels[7] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    r.referenceOrigin = {100, -200, 0};
    r.transform = {2, 0, 0, 0, 2, 0, 0, 0, 2};
    r.conversion = 1;
    r.masterOrigin = {5000, 6000, 0};
    r.logicalName = "VTL";
    r.description = "Vistrel";
    r.levelSymbologyMask = 1;
    r.levelSymbology[62] = 0x1234;
    r.zDelta = -7;
    r.clip = {{0, 0}, {1000, 0}, {1000, 500}, {0, 0}};
    return r;
}

// The element read back holds the same body, and writes the same bytes again.
void expectRoundTrip(const Element& e, Dimension d) {
    const Bytes b = encode(e, {d});
    const Element back = decode(b, d);
    EXPECT_EQ(back.type, e.type);
    EXPECT_EQ(back.level, e.level);
    EXPECT_EQ(back.body, e.body);
    EXPECT_EQ(back.linkage, e.linkage);
    EXPECT_EQ(encode(back, {d}), b);
}

Bytes at(const Bytes& b, size_t offset, size_t count) {
    return Bytes(b.begin() + static_cast<long>(offset),
                 b.begin() + static_cast<long>(offset + count));
}

TEST(ReferenceElement, FieldsLieWhereV7KeepsThem) {
    const Bytes b = encode(makeReference(sampleReference()), {Dimension::Two});
    ASSERT_EQ(b.size(), 494u + 4 * 8);
    EXPECT_EQ(at(b, 0, 4), (Bytes{0x09, 0x05, 0x05, 0x01}));  // level 9, type 5, 261 words
    EXPECT_EQ(getWord(&b[36]), 11);                           // characters of the file
    EXPECT_EQ(std::string(b.begin() + 38, b.begin() + 49), "/p/seed.dgn");
    EXPECT_EQ(b[103], 3);                                          // the slot
    EXPECT_EQ(getWord(&b[104]), 0x0004);                           // slot in use
    EXPECT_EQ(getWord(&b[106]), 0x0002);                           // displayed
    EXPECT_EQ(at(b, 124, 8), (Bytes{3, 0, 0, 0, 0, 0, 0, 0x80}));  // view 1's levels 1, 2, 64
    EXPECT_EQ(at(b, 180, 8), Bytes(8, 0xFF));                      // view 8 shows every level
    EXPECT_EQ(at(b, 188, 8), (Bytes{0, 0, 100, 0, 0xFF, 0xFF, 0x38, 0xFF}));  // 100, -200
    EXPECT_EQ(at(b, 200, 2), (Bytes{0x00, 0x41}));  // the scale 2 as D-float
    EXPECT_EQ(at(b, 272, 2), (Bytes{0x80, 0x40}));  // conversion 1
    EXPECT_EQ(at(b, 280, 8), (Bytes{0, 0, 0x88, 0x13, 0, 0, 0x70, 0x17}));  // 5000, 6000
    EXPECT_EQ(getWord(&b[292]), 3);
    EXPECT_EQ(std::string(b.begin() + 294, b.begin() + 297), "VTL");
    EXPECT_EQ(getWord(&b[316]), 7);
    EXPECT_EQ(std::string(b.begin() + 318, b.begin() + 325), "Vistrel");
    EXPECT_EQ(getWord(&b[360]), 1);
    EXPECT_EQ(getWord(&b[362 + 2 * 62]), 0x1234);
    EXPECT_EQ(at(b, 488, 4), (Bytes{0xFF, 0xFF, 0xF9, 0xFF}));  // z delta -7
    EXPECT_EQ(getWord(&b[492]), 4);
    EXPECT_EQ(at(b, 502, 8), (Bytes{0, 0, 0xE8, 0x03, 0, 0, 0, 0}));  // vertex 1000, 0
}

class GroupDataRoundTrip : public ::testing::TestWithParam<Dimension> {};

TEST_P(GroupDataRoundTrip, ReferencesAndSavedViewsReadBackTheSame) {
    ReferenceBody r = sampleReference();
    r.displayOptions = 0;  // switched off
    r.builderOptions |= refopt::LocateLock;
    r.displayFlags[15] = 9;
    expectRoundTrip(makeReference(r), GetParam());

    SavedViewBody v;
    v.name = "VTL";
    v.description = "VISTREL";
    v.fullScreen2 = 1;
    ViewInfo view;
    view.flags = kViewOn | 0x0008;
    view.levels = {0xFFFF, 0x00FF, 0, 1};
    view.origin = {-500, -600, 70};
    view.delta = {40000, 30000, 0};
    view.rotation = {0.5, 0, 0, 0, 1, 0, 0, 0, -1};
    view.conversion = 2.5;
    view.activeZ = 1234567;
    v.views = {view, ViewInfo{}};
    expectRoundTrip(makeSavedView(v), GetParam());
}

INSTANTIATE_TEST_SUITE_P(TwoAndThreeD, GroupDataRoundTrip,
                         ::testing::Values(Dimension::Two, Dimension::Three),
                         [](const auto& param) {
                             return param.param == Dimension::Three ? "ThreeD" : "TwoD";
                         });

TEST(ReferenceElement, APathLongerThanTheFieldTravelsInAUserLinkage) {
    ReferenceBody r = sampleReference();
    r.file = "/" + std::string(80, 'f') + "/drawings/key plan.dgn";
    const Element e = makeReference(r);
    const Bytes b = encode(e, {Dimension::Two});
    EXPECT_EQ(getWord(&b[36]), 12);  // the field holds the file name
    EXPECT_EQ(std::string(b.begin() + 38, b.begin() + 50), "key plan.dgn");
    EXPECT_TRUE(getWord(&b[32]) & prop::Attributes);
    const size_t linkage = 32 + 2 * size_t{getWord(&b[30])};
    EXPECT_EQ(linkage, 494u + 4 * 8);
    EXPECT_EQ(getWord(&b[linkage]), 0x1000 | (3 + 52 - 1));  // user linkage of 55 words
    EXPECT_EQ(getWord(&b[linkage + 2]), kAppSignature);
    EXPECT_EQ(getWord(&b[linkage + 4]), r.file.size());
    expectRoundTrip(e, Dimension::Two);
    EXPECT_FALSE(decode(b, Dimension::Two).properties & prop::Attributes);

    r.file = "/" + std::string(600, 'f');
    EXPECT_THROW(encode(makeReference(r), {Dimension::Two}), Error);
}

TEST(ReferenceElement, NamesTooLongForTheirFieldsAreRefused) {
    ReferenceBody r = sampleReference();
    r.logicalName = std::string(23, 'L');
    EXPECT_THROW(encode(makeReference(r), {Dimension::Two}), Error);
    r = sampleReference();
    r.description = std::string(43, 'D');
    EXPECT_THROW(encode(makeReference(r), {Dimension::Two}), Error);
}

TEST(ReferenceElement, AnApplicationElementOnLevel5IsAnAttachmentToo) {
    Element e = makeReference(sampleReference());
    e.type = type::Application;
    e.level = kAppReferenceLevel;
    const Bytes b = encode(e, {Dimension::Three});
    EXPECT_EQ(at(b, 0, 2), (Bytes{0x05, 66}));
    expectRoundTrip(e, Dimension::Three);
}

TEST(ReferenceElement, ClippingVerticesPastTheElementAreAFault) {
    Bytes b = encode(makeReference(sampleReference()), {Dimension::Two});
    putWord(&b[492], 5);  // one vertex more than the element holds
    EXPECT_THROW(decode(b, Dimension::Two), Error);
}

TEST(SavedViewElement, FieldsLieWhereV7KeepsThem) {
    SavedViewBody v;
    v.name = "I3D";
    v.description = "ISO3D";
    ViewInfo view;
    view.flags = kViewOn;
    view.levels = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    view.origin = {1, 2, 3};
    view.delta = {1000, 500, 0};
    view.activeZ = 65536;
    v.views = {view};
    const Bytes b = encode(makeSavedView(v), {Dimension::Two});
    ASSERT_EQ(b.size(), 56u + 118);
    EXPECT_EQ(at(b, 0, 2), (Bytes{0x03, 0x05}));  // level 3, type 5
    EXPECT_EQ(getWord(&b[34]), 1);                // one view
    // "I3D" in Radix-50: I = 9, 3 = 33, D = 4.
    EXPECT_EQ(getWord(&b[36]), 9 * 1600 + 33 * 40 + 4);
    EXPECT_EQ(getWord(&b[38]), 0);
    EXPECT_EQ(getWord(&b[40]), 9 * 1600 + 19 * 40 + 15);  // "ISO"
    EXPECT_EQ(getWord(&b[56]), 0x0080);                   // the view is on
    EXPECT_EQ(at(b, 58, 8), Bytes(8, 0xFF));
    EXPECT_EQ(at(b, 66, 4), (Bytes{0, 0, 1, 0}));
    EXPECT_EQ(at(b, 78, 4), (Bytes{0, 0, 0xE8, 0x03}));
    EXPECT_EQ(at(b, 90, 2), (Bytes{0x80, 0x40}));   // the rotation starts with 1
    EXPECT_EQ(at(b, 162, 2), (Bytes{0x80, 0x40}));  // conversion 1
    EXPECT_EQ(at(b, 170, 4), (Bytes{1, 0, 0, 0}));  // active z 65536, high word first
}

TEST(SavedViewElement, ViewCountsV7CannotHoldAreRefused) {
    SavedViewBody v;
    v.name = "NONE";
    EXPECT_THROW(encode(makeSavedView(v), {Dimension::Two}), Error);
    v.views.assign(8, ViewInfo{});
    EXPECT_THROW(encode(makeSavedView(v), {Dimension::Two}), Error);
}

TEST(ReferenceTransform, APointShowsAtTheMasterOriginScaledFromTheReferenceOrigin) {
    ReferenceBody r;
    r.referenceOrigin = {100, 100, 0};
    r.masterOrigin = {1000, 2000, 0};
    r.transform = {2, 0, 0, 0, 2, 0, 0, 0, 2};
    r.conversion = 10;  // a reference UOR is ten master UORs long
    EXPECT_EQ(referenceToMaster(r, {100, 100, 0}), (std::array<double, 3>{1000, 2000, 0}));
    EXPECT_EQ(referenceToMaster(r, {101, 99, 0}), (std::array<double, 3>{1020, 1980, 0}));
}

TEST(HeaderViews, ANewFileShowsEveryLevelInViewOneAndTheOtherViewsAreOff) {
    TempDir dir;
    const DesignFile file = DesignFile::create(dir / "views.dgn", Dimension::Two);
    const uint8_t* tcb = file.records()[0].bytes.data();
    const ViewInfo one = readHeaderView(tcb, 1);
    EXPECT_EQ(one.flags, 0x0088);  // on, with line weights
    EXPECT_EQ(one.levels, (std::array<uint16_t, 4>{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}));
    EXPECT_EQ(one.origin, file.header().toUors(0, 0));
    EXPECT_EQ(one.delta, (Point{1000000, 1000000, 0}));  // 100 m of 10000 UORs each
    // The other views are defined alike, switched off.
    ViewInfo eight = readHeaderView(tcb, 8);
    EXPECT_EQ(eight.flags, 0x0008);
    eight.flags = one.flags;
    EXPECT_EQ(eight, one);
    Bytes changed = file.records()[0].bytes;
    writeHeaderView(changed.data(), 8, one);
    EXPECT_EQ(readHeaderView(changed.data(), 8), one);
    EXPECT_EQ(Bytes(changed.begin(), changed.begin() + 46 + 7 * 118),
              Bytes(tcb, tcb + 46 + 7 * 118));  // views 1 to 7 untouched
    EXPECT_THROW(readHeaderView(tcb, 9), Error);
}

// --- Attachments and saved views of a design file --------------------------------------------

class DesignAttachments : public ::testing::Test {
protected:
    ReferenceBody named(const std::string& logicalName, const std::string& file) {
        ReferenceBody r;
        r.logicalName = logicalName;
        r.file = file;
        return r;
    }

    TempDir dir;
    std::filesystem::path path = dir / "master.dgn";
    DesignFile design = DesignFile::create(path, Dimension::Two);
};

TEST_F(DesignAttachments, AttachTakesTheLowestFreeSlotAndStaysOnDisk) {
    EXPECT_EQ(attachReference(design, named("A", "a.dgn")), 1);
    EXPECT_EQ(attachReference(design, named("B", "b.dgn")), 2);
    EXPECT_EQ(attachReference(design, named("C", "c.dgn")), 3);
    detachReference(design, *findReference(design, "b"));
    EXPECT_EQ(attachReference(design, named("D", "d.dgn")), 2);

    const DesignFile reread = DesignFile::open(path);
    std::vector<std::string> seen;
    for (const StoredReference& r : references(reread)) {
        seen.push_back(r.body.logicalName + std::to_string(r.body.fileNumber));
        EXPECT_TRUE(r.body.inUse());
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"A1", "C3", "D2"}));
    EXPECT_EQ(referenceInSlot(reread, 2)->body.file, "d.dgn");
    EXPECT_FALSE(referenceInSlot(reread, 4));
    EXPECT_EQ(referencePath(reread, referenceInSlot(reread, 1)->body), dir / "a.dgn");
}

TEST_F(DesignAttachments, From33rdAttachmentOnTheyAreApplicationElements) {
    for (int i = 1; i <= 33; ++i) attachReference(design, named("R" + std::to_string(i), "r.dgn"));
    const Record* last = nullptr;
    for (const Record& r : design.records()) {
        if (std::holds_alternative<ReferenceBody>(r.element.body)) last = &r;
    }
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->element.type, type::Application);
    EXPECT_EQ(last->element.level, kAppReferenceLevel);
    EXPECT_EQ(std::get<ReferenceBody>(last->element.body).fileNumber, 33);
    EXPECT_EQ(references(DesignFile::open(path)).size(), 33u);
}

TEST_F(DesignAttachments, UpdateSwitchesAnAttachmentOff) {
    attachReference(design, named("VTL", "seed.dgn"));
    StoredReference r = *findReference(design, "VTL");
    r.body.displayOptions &= static_cast<uint16_t>(~refdisplay::Display);
    updateReference(design, r);
    EXPECT_FALSE(findReference(DesignFile::open(path), "vtl")->body.displayed());
}

TEST_F(DesignAttachments, SavingAViewUnderItsNameReplacesTheOldOne) {
    SavedViewBody v;
    v.name = "VTL";
    v.description = "OLD";
    v.views = {ViewInfo{}};
    saveView(design, v);
    v.description = "NEW";
    saveView(design, v);
    v.name = "I3D";
    saveView(design, v);
    const DesignFile reread = DesignFile::open(path);
    ASSERT_EQ(savedViews(reread).size(), 2u);
    EXPECT_EQ(findSavedView(reread, "vtl")->body.description, "NEW");
    deleteSavedView(design, *findSavedView(design, "I3D"));
    EXPECT_FALSE(findSavedView(DesignFile::open(path), "I3D"));
}

}  // namespace
}  // namespace vtl::dgn
