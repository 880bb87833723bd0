// Number formats and single elements: what the codec writes must read back the same, in the
// byte layout V7 readers expect.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/Error.h"
#include "dgn/DFloat.h"
#include "dgn/ElementCodec.h"
#include "dgn/Radix50.h"
#include "dgn/Words.h"

namespace vtl::dgn {
namespace {

Bytes dfloat(double value) {
    Bytes bytes(8);
    toDFloat(value, bytes.data());
    return bytes;
}

TEST(DgnNumbers, LongsAreStoredHighWordFirstAndRangesOffsetBinary) {
    uint8_t p[4];
    putLong(p, 0x12345678);
    EXPECT_EQ(Bytes(p, p + 4), (Bytes{0x34, 0x12, 0x78, 0x56}));
    EXPECT_EQ(getLong(p), 0x12345678);
    putLong(p, -2);
    EXPECT_EQ(getLong(p), -2);
    putRangeLong(p, 0);
    EXPECT_EQ(Bytes(p, p + 4), (Bytes{0x00, 0x80, 0x00, 0x00}));
    putRangeLong(p, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Bytes(p, p + 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(getRangeLong(p), std::numeric_limits<int32_t>::min());
}

TEST(DgnNumbers, DFloatHasTheVaxLayout) {
    EXPECT_EQ(dfloat(1.0), (Bytes{0x80, 0x40, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(dfloat(-2.5), (Bytes{0x20, 0xC1, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(dfloat(0.0), Bytes(8, 0));
    const Bytes one{0x80, 0x40, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(fromDFloat(one.data()), 1.0);
}

TEST(DgnNumbers, DFloatRoundTripsDoublesAndClampsWhatItCannotHold) {
    for (double value : {3.141592653589793, -1e30, 1e-30, -2147483600.0, 0.1, 123456.789}) {
        EXPECT_EQ(fromDFloat(dfloat(value).data()), value) << value;
    }
    EXPECT_EQ(fromDFloat(dfloat(1e-300).data()), 0.0);
    const double huge = fromDFloat(dfloat(1e300).data());
    EXPECT_GT(huge, 1.7e38);
    EXPECT_LT(fromDFloat(dfloat(-std::numeric_limits<double>::infinity()).data()), -1.7e38);
}

TEST(DgnNumbers, Radix50NamesRoundTripAndRefuseWhatTheyCannotHold) {
    const auto words = toRadix50("ab$1", 2);
    EXPECT_EQ(words[0], 1 * 1600 + 2 * 40 + 27);
    EXPECT_EQ(fromRadix50(words), "AB$1");
    EXPECT_THROW(toRadix50("TOOLONG", 2), Error);
    EXPECT_THROW(toRadix50("A-B", 2), Error);
}

Bytes encode2d(const Element& e) {
    return encode(e, {Dimension::Two});
}

Element element(int elementType, int level, Body body) {
    Element e;
    e.type = elementType;
    e.level = level;
    e.body = std::move(body);
    return e;
}

TEST(DgnElements, LineStringCarriesHeaderRangeAndWordsToFollow) {
    Element e = makeLineString({{10, -20, 5}, {30, 40, 7}, {-5, 0, 0}});
    e.level = 12;
    e.symbology = {200, 31, 7};
    const Bytes b = encode2d(e);
    ASSERT_EQ(b.size(), 38u + 3 * 8);
    EXPECT_EQ(b[0], 12);
    EXPECT_EQ(b[1], type::LineString);
    EXPECT_EQ(getWord(b.data() + 2), b.size() / 2 - 2);
    EXPECT_EQ(getRangeLong(b.data() + 4), -5);               // low x
    EXPECT_EQ(getRangeLong(b.data() + 8), -20);              // low y
    EXPECT_EQ(getRangeLong(b.data() + 12), 0);               // 2-D: z 0
    EXPECT_EQ(getRangeLong(b.data() + 16), 30);              // high x
    EXPECT_EQ(getRangeLong(b.data() + 20), 40);              // high y
    EXPECT_EQ(getWord(b.data() + 30), (b.size() - 32) / 2);  // no linkage: index to the end
    EXPECT_EQ(getWord(b.data() + 34), 7 | (31 << 3) | (200 << 8));

    Element back = decode(b, Dimension::Two);
    EXPECT_EQ(std::get<LineStringBody>(back.body).vertices[1], (Point{30, 40, 0}));
    EXPECT_EQ(back.level, 12);
    EXPECT_EQ(back.symbology, e.symbology);
}

TEST(DgnElements, EveryModelledTypeRoundTripsIn2dAnd3d) {
    for (Dimension d : {Dimension::Two, Dimension::Three}) {
        const int32_t z = d == Dimension::Three ? 9 : 0;
        TextBody text;
        text.text = "Odd";
        text.font = 3;
        text.justification = 7;
        text.lengthMult = 1500;
        text.heightMult = 2500;
        text.rotation = d == Dimension::Two ? 9000000 : 0;
        text.origin = {1, 2, z};
        TextNodeBody node;
        node.nodeNumber = 17;
        node.lineSpacing = 250;
        node.origin = {5, 6, z};
        CellBody cell;
        cell.name = "VALVE";
        cell.levels = {1, 0, 0, 0x8000};
        cell.origin = {-7, 8, z};
        CellLibraryBody library;
        library.name = "PUMP";
        library.description = "CENTRIFUGAL PUMP";
        ColorTableBody colors;
        colors.entries[3] = {255, 128, 1};
        const std::vector<Element> elements = {makeLine({1, 2, z}, {3, 4, z}),
                                               makeLineString({{0, 0, 0}, {5, 5, z}}),
                                               element(type::Text, 1, text),
                                               element(type::TextNode, 2, node),
                                               element(type::CellHeader, 3, cell),
                                               element(type::CellLibraryHeader, 0, library),
                                               element(type::GroupData, kColorTableLevel, colors),
                                               makeAppData({'{', '"', 'a', '"', ':', '1', '}'})};
        for (const Element& e : elements) {
            const Bytes b = encode(e, {d});
            Element back = decode(b, d);
            EXPECT_EQ(back.body, e.body)
                << "type " << e.type << " in " << static_cast<int>(d) << "-D";
            EXPECT_EQ(encode(back, {d}), b) << "type " << e.type;
        }
    }
}

TEST(DgnElements, TextOfOddLengthIsPaddedAndItsRangeCoversTheCharacters) {
    Element e = makeText("Abc", {1000, 2000, 0}, 60, 120);  // 60 UORs wide, 120 high
    const Bytes b = encode2d(e);
    EXPECT_EQ(b.size(), 64u);  // 60 + 3 characters + 1 pad byte
    EXPECT_EQ(b[58], 3);
    EXPECT_EQ(std::string(b.begin() + 60, b.begin() + 63), "Abc");
    EXPECT_EQ(getRangeLong(b.data() + 4), 1000);
    EXPECT_EQ(getRangeLong(b.data() + 16), 1000 + 3 * 60);
    EXPECT_EQ(getRangeLong(b.data() + 20), 2000 + 120);
}

TEST(DgnElements, LinkageIsKeptAndFlaggedAndPaddingGoesInFrontOfIt) {
    Element e = makeText("Hi", {0, 0, 0}, 6, 6);
    e.linkage = {0x07, 0x10, 0x62, 0x5e, 0x81, 0x0f, 0, 0};
    const Bytes b = encode(e, {Dimension::Two, 80});
    ASSERT_EQ(b.size(), 80u);
    EXPECT_TRUE(getWord(b.data() + 32) & prop::Attributes);
    const size_t linkage = 32 + 2 * size_t{getWord(b.data() + 30)};
    EXPECT_EQ(linkage, 72u);
    EXPECT_EQ(Bytes(b.begin() + 72, b.end()), e.linkage);
    Element back = decode(b, Dimension::Two);
    EXPECT_EQ(back.linkage, e.linkage);
    EXPECT_EQ(*textOf(back), "Hi");
}

TEST(DgnElements, StoredFormIsKeptWhileItStillDecodesToTheElement) {
    Element e = makeLine({0, 0, 0}, {10, 10, 0});
    Bytes stored = encode2d(e);
    putRangeLong(stored.data() + 16, 999);  // a range other than ours
    Element read = decode(stored, Dimension::Two);
    EXPECT_EQ(encode(read, {Dimension::Two, 0, &stored}), stored);
    std::get<LineBody>(read.body).end = {20, 20, 0};
    const Bytes changed = encode(read, {Dimension::Two, 0, &stored});
    EXPECT_EQ(getRangeLong(changed.data() + 16), 20);
}

TEST(DgnElements, ValuesV7CannotStoreAreRefused) {
    Element tooHigh = makeLine({0, 0, 0}, {1, 1, 0});
    tooHigh.level = 64;
    EXPECT_THROW(encode2d(tooHigh), Error);
    Element colour = makeLine({0, 0, 0}, {1, 1, 0});
    colour.symbology.weight = 32;
    EXPECT_THROW(encode2d(colour), Error);
    EXPECT_THROW(encode2d(makeLineString({{0, 0, 0}})), Error);
    EXPECT_THROW(encode2d(makeLineString(std::vector<Point>(102))), Error);
    EXPECT_THROW(encode2d(makeText(std::string(256, 'x'), {}, 6, 6)), Error);
    EXPECT_THROW(encode2d(makeAppData(Bytes(kMaxAppPayload + 1))), Error);
    Element wrongType = makeLine({0, 0, 0}, {1, 1, 0});
    wrongType.type = type::Text;
    EXPECT_THROW(encode2d(wrongType), Error);
}

TEST(DgnElements, ElementWhoseFieldsDoNotFitItsLengthIsRefused) {
    Bytes b = encode2d(makeLineString({{0, 0, 0}, {1, 1, 0}}));
    putWord(b.data() + 36, 5);  // five vertices in room for two
    EXPECT_THROW(decode(b, Dimension::Two), Error);
    Bytes text = encode2d(makeText("Hello", {}, 6, 6));
    text[58] = 200;
    EXPECT_THROW(decode(text, Dimension::Two), Error);
}

TEST(DgnElements, ForeignTypesStayRawAndTakeHeaderChanges) {
    Element shape = makeLineString({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}});
    Bytes ellipse = encode2d(shape);
    ellipse[1] = 15;  // an ellipse the model does not open up
    Element e = decode(ellipse, Dimension::Two);
    ASSERT_TRUE(std::holds_alternative<RawBody>(e.body));
    e.symbology.color = 9;
    e.level = 40;
    const Bytes b = encode2d(e);
    EXPECT_EQ(b.size(), ellipse.size());
    EXPECT_EQ(b[0], 40);
    EXPECT_EQ(b[35], 9);
    EXPECT_EQ(Bytes(b.begin() + 36, b.end()), Bytes(ellipse.begin() + 36, ellipse.end()));
}

}  // namespace
}  // namespace vtl::dgn
