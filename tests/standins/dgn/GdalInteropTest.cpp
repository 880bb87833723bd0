// GDAL's DGN driver as the independent judge: what we write reads back in ogrinfo with the
// same types, levels, symbology, points and texts, and files GDAL wrote parse, stay
// byte-identical when rewritten unchanged, and take our changes.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "GdalTools.h"
#include "dgn/Attachments.h"
#include "dgn/DesignFile.h"
#include "dgn/ElementCodec.h"
#include "support/TempDir.h"

namespace vtl::dgn {
namespace {

using test::OgrFeature;
using test::readFile;
using test::TempDir;

Element styled(Element e, int level, Symbology symbology) {
    e.level = level;
    e.symbology = symbology;
    return e;
}

void expectFeature(const OgrFeature& f, int elementType, int level, Symbology s,
                   const std::string& kind, const std::vector<double>& coordinates,
                   const std::string& text = "") {
    EXPECT_EQ(f.number("Type"), elementType) << f.geometry;
    EXPECT_EQ(f.number("Level"), level) << f.geometry;
    EXPECT_EQ(f.number("ColorIndex"), s.color) << f.geometry;
    EXPECT_EQ(f.number("Weight"), s.weight) << f.geometry;
    EXPECT_EQ(f.number("Style"), s.style) << f.geometry;
    EXPECT_EQ(f.kind(), kind);
    EXPECT_EQ(f.coordinates(), coordinates) << f.geometry;
    EXPECT_EQ(f.field("Text"), text);
}

class WrittenFile : public ::testing::TestWithParam<Dimension> {};

TEST_P(WrittenFile, EveryElementReadsBackInOgrinfo) {
    TempDir dir;
    const auto path = dir / "written.dgn";
    DesignFile file = DesignFile::create(path, GetParam());
    const DesignHeader& h = file.header();
    const double size = h.distanceToUors(0.2);
    file.append(styled(makeLine(h.toUors(1, 2, 3), h.toUors(3, 4, 5)), 5, {3, 2, 1}));
    file.append(styled(makeLineString({h.toUors(0, 0), h.toUors(10.5, 0), h.toUors(10.5, -7.25)}),
                       7, {4, 1, 0}));
    file.append(styled(makeText("Hello", h.toUors(5, 5), size, size), 3, {2, 0, 0}));
    file.append(styled(makeTextNode(4, h.toUors(20, 20), size, size, 500), 9, {1, 0, 0}),
                {styled(makeText("First", h.toUors(20, 20), size, size), 9, {1, 3, 0}),
                 styled(makeText("Second", h.toUors(20, 19), size, size), 9, {1, 3, 0})});
    file.append(styled(makeCell("MARK", h.toUors(50, 50)), 11, {6, 0, 0}),
                {styled(makeLine(h.toUors(49, 49), h.toUors(51, 51)), 11, {6, 4, 2})});
    file.append(makeAppData({'{', '}'}));  // other readers skip it

    // 2-D points as x, y; 3-D points as x, y, z.
    const bool three = GetParam() == Dimension::Three;
    auto points = [&](std::initializer_list<std::array<double, 3>> list) {
        std::vector<double> values;
        for (const auto& p : list) {
            values.insert(values.end(), p.begin(), p.begin() + (three ? 3 : 2));
        }
        return values;
    };
    const std::string line = three ? "LINESTRING Z" : "LINESTRING";
    const std::string point = three ? "POINT Z" : "POINT";
    const auto features = test::ogrFeatures(path);
    ASSERT_EQ(features.size(), 6u);
    expectFeature(features[0], 3, 5, {3, 2, 1}, line, points({{1, 2, 3}, {3, 4, 5}}));
    expectFeature(features[1], 4, 7, {4, 1, 0}, line,
                  points({{0, 0, 0}, {10.5, 0, 0}, {10.5, -7.25, 0}}));
    expectFeature(features[2], 17, 3, {2, 0, 0}, point, points({{5, 5, 0}}), "Hello");
    expectFeature(features[3], 17, 9, {1, 3, 0}, point, points({{20, 20, 0}}), "First");
    expectFeature(features[4], 17, 9, {1, 3, 0}, point, points({{20, 19, 0}}), "Second");
    expectFeature(features[5], 3, 11, {6, 4, 2}, line, points({{49, 49, 0}, {51, 51, 0}}));
}

INSTANTIATE_TEST_SUITE_P(TwoAndThreeD, WrittenFile,
                         ::testing::Values(Dimension::Two, Dimension::Three),
                         [](const auto& param) {
                             return param.param == Dimension::Three ? "ThreeD" : "TwoD";
                         });

TEST(WrittenLibrary, CellsOfACellLibraryReadBackInOgrinfo) {
    TempDir dir;
    const auto path = dir / "cells.cel";
    DesignFile library = DesignFile::createLibrary(path, Dimension::Two);
    CellLibraryBody cell;
    cell.name = "ARROW";
    Element head;
    head.type = type::CellLibraryHeader;
    head.body = cell;
    library.append(head,
                   {styled(makeLineString({{0, 0, 0}, {0, 100, 0}, {-20, 80, 0}}), 2, {5, 1, 0})});
    const auto features = test::ogrFeatures(path);
    ASSERT_EQ(features.size(), 1u);
    expectFeature(features[0], 4, 2, {5, 1, 0}, "LINESTRING", {0, 0, 0, 100, -20, 80});
}

// A file written by GDAL: two line strings and a text, each with GDAL's user linkage.
std::filesystem::path ogr2ogrFile(const TempDir& dir) {
    const auto csv = dir.write("in.csv",
                               "WKT,Text,Level,ColorIndex,Weight,Style\n"
                               "\"LINESTRING (1 2,3 4)\",,5,3,2,1\n"
                               "\"LINESTRING (0 0,10 0,10 10)\",,7,4,1,0\n"
                               "\"POINT (5 5)\",Hello,3,2,0,0\n");
    const auto dgn = dir / "gdal.dgn";
    test::ogr2ogrDgn(csv, dgn);
    return dgn;
}

const Record* firstOfType(const DesignFile& file, int elementType) {
    for (const Record& r : file.records()) {
        if (r.element.type == elementType && !r.element.deleted) return &r;
    }
    return nullptr;
}

TEST(ForeignFiles, SeedsAndOgr2ogrOutputParseAndRewriteByteIdentical) {
    TempDir dir;
    const std::vector<std::filesystem::path> sources = {
        "/usr/share/gdal/seed_2d.dgn", "/usr/share/gdal/seed_3d.dgn", ogr2ogrFile(dir)};
    for (const auto& source : sources) {
        const auto copy = dir / ("copy-" + source.filename().string());
        std::filesystem::copy_file(source, copy);
        const std::string before = readFile(copy);
        DesignFile file = DesignFile::open(copy);
        ASSERT_GE(file.records().size(), 3u) << source;
        EXPECT_EQ(file.records()[0].element.type, type::DesignHeader);
        for (const Record& r : std::vector<Record>(file.records())) {
            if (!r.element.deleted) file.rewrite(r.position, r.element);
        }
        EXPECT_EQ(readFile(copy), before) << source;
    }
    EXPECT_EQ(DesignFile::open(dir / "copy-seed_3d.dgn").dimension(), Dimension::Three);
    const DesignFile gdal = DesignFile::open(dir / "copy-gdal.dgn");
    EXPECT_EQ(gdal.dimension(), Dimension::Two);
    EXPECT_EQ(gdal.header().units, (Units{"m", "cm", 100, 1}));
    const Record* text = firstOfType(gdal, type::Text);
    ASSERT_NE(text, nullptr);
    const auto origin = gdal.header().toMaster(std::get<TextBody>(text->element.body).origin);
    EXPECT_EQ(origin[0], 5.0);
    EXPECT_EQ(origin[1], 5.0);
}

TEST(ForeignFiles, OurEncodingOfGdalLineStringsIsGdalsOwn) {
    TempDir dir;
    const DesignFile file = DesignFile::open(ogr2ogrFile(dir));
    int compared = 0;
    for (const Record& r : file.records()) {
        if (r.element.type != type::LineString) continue;
        EXPECT_FALSE(r.element.linkage.empty());
        EXPECT_EQ(encode(r.element, {file.dimension()}), r.bytes) << r.position;
        ++compared;
    }
    EXPECT_EQ(compared, 2);
}

std::string textIn(const std::vector<OgrFeature>& features) {
    std::string texts;
    for (const OgrFeature& f : features) texts += f.field("Text");
    return texts;
}

TEST(ForeignFiles, TextReplacedInPlaceShowsInOgrinfo) {
    TempDir dir;
    const auto path = ogr2ogrFile(dir);
    const auto size = std::filesystem::file_size(path);
    DesignFile file = DesignFile::open(path);
    const Record* text = firstOfType(file, type::Text);
    ASSERT_NE(text, nullptr);
    const uint64_t position = text->position;
    Element e = text->element;
    std::get<TextBody>(e.body).text = "Hi";
    EXPECT_EQ(file.rewrite(position, e), position);
    EXPECT_EQ(std::filesystem::file_size(path), size);

    const auto features = test::ogrFeatures(path);
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(features[2].field("Text"), "Hi");
    EXPECT_EQ(features[2].geometry, "POINT (5 5)");
    EXPECT_EQ(features[2].number("Level"), 3);
    EXPECT_NE(features[2].field("ULink"), "");  // GDAL's linkage survived the rewrite
}

TEST(ForeignFiles, GrownTextMovesToTheEndAndOgrinfoSkipsTheOldOne) {
    TempDir dir;
    const auto path = ogr2ogrFile(dir);
    DesignFile file = DesignFile::open(path);
    const Record* text = firstOfType(file, type::Text);
    ASSERT_NE(text, nullptr);
    const uint64_t position = text->position;
    Element e = text->element;
    std::get<TextBody>(e.body).text = "Hello, a much longer text";
    EXPECT_GT(file.rewrite(position, e), position);

    const auto features = test::ogrFeatures(path);
    ASSERT_EQ(features.size(), 3u);
    EXPECT_EQ(textIn(features), "Hello, a much longer text");
}

// Attachments and saved views are no graphic elements: GDAL lists the same features with them
// as without, in a file of ours and in one GDAL wrote.
void attachAndSaveViews(DesignFile& file) {
    ReferenceBody shown;
    shown.file = "/tmp/seed.dgn";
    shown.logicalName = "VTL";
    shown.description = "Vistrel";
    attachReference(file, shown);
    ReferenceBody longName;
    longName.file = "/" + std::string(90, 'p') + "/iso.dgn";
    longName.displayOptions = 0;
    attachReference(file, longName);
    SavedViewBody view;
    view.name = "VTL";
    view.description = "VISTREL";
    view.views = {ViewInfo{}};
    saveView(file, view);
}

TEST(Attachments, GdalListsTheSameFeaturesWithAttachmentsAndSavedViews) {
    TempDir dir;
    for (Dimension d : {Dimension::Two, Dimension::Three}) {
        const auto path = dir / (d == Dimension::Two ? "ours2.dgn" : "ours3.dgn");
        DesignFile file = DesignFile::create(path, d);
        const DesignHeader& h = file.header();
        file.append(styled(makeLineString({h.toUors(0, 0), h.toUors(10, 5), h.toUors(3, 9)}), 4,
                           {3, 1, 2}));
        file.append(makeText("Label", h.toUors(1, 1), 1000, 1000));
        const auto before = test::ogrFeatures(path);
        ASSERT_EQ(before.size(), 2u);
        attachAndSaveViews(file);
        const auto after = test::ogrFeatures(path);
        ASSERT_EQ(after.size(), 2u);
        for (size_t i = 0; i < after.size(); ++i) {
            EXPECT_EQ(after[i].fields, before[i].fields);
            EXPECT_EQ(after[i].geometry, before[i].geometry);
        }
    }
    const auto gdal = ogr2ogrFile(dir);
    const std::string listing = test::ogrinfoListing(gdal);
    DesignFile file = DesignFile::open(gdal);
    attachAndSaveViews(file);
    EXPECT_EQ(test::ogrinfoListing(gdal), listing);
    EXPECT_EQ(references(DesignFile::open(gdal)).size(), 2u);
}

}  // namespace
}  // namespace vtl::dgn
