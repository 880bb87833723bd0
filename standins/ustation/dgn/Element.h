// The element model of V7 design files and cell libraries: the common header every element
// carries and the bodies of the element types the stand-in MicroStation reads and writes.
// Every other type is kept as its stored bytes, so writing it back loses nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "dgn/Words.h"

namespace vtl::dgn {

enum class Dimension { Two = 2, Three = 3 };

namespace type {
inline constexpr int CellLibraryHeader = 1;
inline constexpr int CellHeader = 2;
inline constexpr int Line = 3;
inline constexpr int LineString = 4;
inline constexpr int GroupData = 5;
inline constexpr int Shape = 6;
inline constexpr int TextNode = 7;
inline constexpr int DigitizerSetup = 8;
inline constexpr int DesignHeader = 9;
inline constexpr int LevelSymbology = 10;
inline constexpr int ComplexChain = 12;
inline constexpr int ComplexShape = 14;
inline constexpr int Text = 17;
inline constexpr int Surface = 18;
inline constexpr int Solid = 19;
inline constexpr int SharedCellDefinition = 34;
inline constexpr int Application = 66;
}  // namespace type

// Group data elements on this level hold a colour table.
inline constexpr int kColorTableLevel = 1;
// Group data elements on this level hold a saved (named) view.
inline constexpr int kSavedViewLevel = 3;
// Group data elements on this level hold a reference attachment; from the 33rd attachment on,
// and for what a group data element cannot hold, MicroStation writes the same structure as an
// application element on kAppReferenceLevel.
inline constexpr int kReferenceLevel = 9;
inline constexpr int kAppReferenceLevel = 5;
// Application elements on this level hold application data behind a signature word.
inline constexpr int kAppDataLevel = 20;
// The signature of the stand-in's own application element.
inline constexpr uint16_t kAppSignature = 0x5654;
// The largest element V7 stores, in words.
inline constexpr size_t kMaxElementWords = 768;

// Property bits of the display header.
namespace prop {
inline constexpr uint16_t Locked = 0x0100;
inline constexpr uint16_t New = 0x0200;
inline constexpr uint16_t Modified = 0x0400;
inline constexpr uint16_t Attributes = 0x0800;
}  // namespace prop

// Coordinates in units of resolution (UORs). In 2-D files z is 0.
struct Point {
    int32_t x = 0;
    int32_t y = 0;
    int32_t z = 0;
    bool operator==(const Point&) const = default;
};

struct Range {
    Point low;
    Point high;
    bool operator==(const Range&) const = default;
};

struct Symbology {
    int color = 0;   // 0..255
    int weight = 0;  // 0..31
    int style = 0;   // 0..7
    bool operator==(const Symbology&) const = default;
};

// An element of a type the model does not open up: its whole stored form.
struct RawBody {
    Bytes bytes;
    bool operator==(const RawBody&) const = default;
};

struct LineBody {
    Point start;
    Point end;
    bool operator==(const LineBody&) const = default;
};

// Line strings (type 4) and shapes (type 6): 2 to 101 vertices.
struct LineStringBody {
    std::vector<Point> vertices;
    bool operator==(const LineStringBody&) const = default;
};

// The identity orientation of 3-D text: quaternion (1, 0, 0, 0) scaled by 2^31 - 1.
inline constexpr std::array<int32_t, 4> kIdentityQuaternion = {2147483647, 0, 0, 0};

// One line of text. Sizes are multipliers in thousandths of the basic 6-UOR character;
// textMultiplier and textSize convert. The origin is the lower left of the text; the
// justification (V7's code, 2 left bottom) tells where the point it was placed at lies.
struct TextBody {
    int font = 0;
    int justification = 2;
    int32_t lengthMult = 0;
    int32_t heightMult = 0;
    int32_t rotation = 0;  // 2-D: 1/360000 degree counterclockwise
    std::array<int32_t, 4> quaternion = kIdentityQuaternion;  // 3-D
    Point origin;
    std::string text;       // at most 255 bytes, stored as given
    Bytes enterDataFields;  // 3 bytes per field, kept as stored
    bool operator==(const TextBody&) const = default;
};

// The header of a text node; its text elements follow it as components.
struct TextNodeBody {
    uint16_t totalWords = 0;  // set from the components when written
    uint16_t numStrings = 0;  // set from the components when written
    uint16_t nodeNumber = 0;
    int maxLength = 0;
    int maxUsed = 0;
    int font = 0;
    int justification = 0;
    int32_t lineSpacing = 0;  // UORs
    int32_t lengthMult = 0;
    int32_t heightMult = 0;
    int32_t rotation = 0;
    std::array<int32_t, 4> quaternion = kIdentityQuaternion;
    Point origin;
    bool operator==(const TextNodeBody&) const = default;
};

// A transformation coefficient of 1 in a cell header.
inline constexpr int32_t kTransformUnit = 214748;

// The header of a cell placed in a design file (type 2); its elements follow it.
struct CellBody {
    uint16_t totalWords = 0;  // set from the components when written
    std::string name;         // up to 6 Radix-50 characters
    uint16_t cellClass = 0;
    std::array<uint16_t, 4> levels{};  // bit mask of the levels used
    Point rangeLow;                    // cell range relative to the origin, set when written
    Point rangeHigh;
    // Row-major 3x3 matrix; 2-D files store its upper left 2x2 part.
    std::array<int32_t, 9> transform = {kTransformUnit, 0, 0, 0, kTransformUnit, 0, 0, 0,
                                        kTransformUnit};
    Point origin;
    bool operator==(const CellBody&) const = default;
};

// The header of a cell in a cell library (type 1). Its properties and display symbology are
// the element's common properties and symbology.
struct CellLibraryBody {
    uint16_t cellType = 0;
    std::string name;         // up to 6 Radix-50 characters
    uint16_t totalWords = 0;  // set from the components when written
    uint16_t cellClass = 0;
    std::array<uint16_t, 4> levels{};
    std::string description;  // up to 27 Radix-50 characters
    bool operator==(const CellLibraryBody&) const = default;
};

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

// A colour table (group data on level 1): the background and 255 element colours in stored
// order, the background first.
struct ColorTableBody {
    uint16_t screen = 0;
    std::array<Rgb, 256> entries{};
    bool operator==(const ColorTableBody&) const = default;
};

// What a view shows: the view definition V7 keeps for each of the eight views in the design
// header and for each view of a saved view.
struct ViewInfo {
    uint16_t flags = 0;                // view flags; bit 7: the view is on
    std::array<uint16_t, 4> levels{};  // displayed levels 1 to 64, level 1 in bit 0 of word 0
    Point origin;                      // lower left corner, UORs
    Point delta;                       // to the opposite corner, UORs
    std::array<double, 9> rotation = {1, 0, 0, 0, 1, 0, 0, 0, 1};  // row-major
    double conversion = 1;                                         // digitizer to UORs
    uint32_t activeZ = 0;
    bool operator==(const ViewInfo&) const = default;
};
inline constexpr uint16_t kViewOn = 0x0080;

// A saved view (group data on level 3): a name of up to 6 and a description of up to 21
// Radix-50 characters, and the views it saved (1 to 7). It has no symbology: the word where
// other elements keep it holds the number of views.
struct SavedViewBody {
    std::string name;
    std::string description;
    uint8_t fullScreen1 = 0;
    uint8_t fullScreen2 = 0;
    uint16_t reserved = 0;  // the 13 bits beside the view count, kept as stored
    std::vector<ViewInfo> views;
    bool operator==(const SavedViewBody&) const = default;
};

// Bits of the file builder options of a reference attachment.
namespace refopt {
inline constexpr uint16_t SlotInUse = 0x0004;
inline constexpr uint16_t SnapLock = 0x0020;
inline constexpr uint16_t LocateLock = 0x0040;
inline constexpr uint16_t MissingFile = 0x0080;
inline constexpr uint16_t TwoDInThreeD = 0x8000;
}  // namespace refopt
// Bits of its file displayer options.
namespace refdisplay {
inline constexpr uint16_t ViewOverride = 0x0001;
inline constexpr uint16_t Display = 0x0002;
}  // namespace refdisplay

// A reference attachment (group data on level 9, or application element on level 5).
//
// A point p of the reference file (its UORs) shows in the master file at
//     masterOrigin + transform * ((p - referenceOrigin) * conversion)
// in master UORs: conversion turns reference UORs into master UORs of the same length, and
// transform (row-major) rotates and scales, its diagonal holding the attachment's scale
// (master units per reference unit, 2 for "2:1"). referenceToMaster() computes it.
struct ReferenceBody {
    // The file as attached. V7 holds 65 characters; a longer path is kept whole in a user
    // linkage of the stand-in, and the field holds as much of its file name as fits.
    std::string file;
    uint8_t fileNumber = 0;  // the attachment's slot, 1 to 255
    uint16_t builderOptions = refopt::SlotInUse;
    uint16_t displayOptions = refdisplay::Display;
    std::array<uint8_t, 16> displayFlags{};
    // The levels of the reference shown in each of the eight views, as ViewInfo::levels.
    std::array<std::array<uint16_t, 4>, 8> viewLevels{};
    Point referenceOrigin;
    std::array<double, 9> transform = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double conversion = 1;
    Point masterOrigin;
    std::string logicalName;  // up to 22 characters
    std::string description;  // up to 42 characters
    uint16_t levelSymbologyMask = 0;
    std::array<uint16_t, 63> levelSymbology{};
    int32_t zDelta = 0;
    // The clipping polygon in reference UORs (x, y), empty when the whole file shows.
    std::vector<std::array<int32_t, 2>> clip;
    bool operator==(const ReferenceBody&) const = default;

    bool displayed() const { return (displayOptions & refdisplay::Display) != 0; }
    bool inUse() const { return (builderOptions & refopt::SlotInUse) != 0; }
};

// Where a point of the reference file shows in the master file, in master UORs.
std::array<double, 3> referenceToMaster(const ReferenceBody& reference, const Point& point);

// The stand-in's own application element (type 66, level 20, signature kAppSignature): an
// opaque payload of at most kMaxAppPayload bytes.
struct AppDataBody {
    Bytes payload;
    bool operator==(const AppDataBody&) const = default;
};
inline constexpr size_t kMaxAppPayload = kMaxElementWords * 2 - 40;

using Body =
    std::variant<RawBody, LineBody, LineStringBody, TextBody, TextNodeBody, CellBody,
                 CellLibraryBody, ColorTableBody, AppDataBody, SavedViewBody, ReferenceBody>;

struct Element {
    int type = 0;
    int level = 0;         // 0..63
    bool complex = false;  // the stored complex bit; Record::component says what it means
    bool deleted = false;
    uint16_t graphicGroup = 0;
    uint16_t properties = 0;
    Symbology symbology;
    Range range;    // as stored; written elements get it computed from their geometry
    Bytes linkage;  // attribute linkage data as stored (not opened up for raw elements)
    Body body;
    bool operator==(const Element&) const = default;
};

// Types whose elements carry graphic group, properties and symbology after the range.
bool hasDisplayHeader(int type);
// Types whose header gives the words of the components that follow it.
bool isComplexHeader(int type);
// Types whose bytes 4 to 27 hold a range.
bool hasRange(int type);
// A short English name of the type, "Type 33" for types without one.
std::string typeName(int type);

// Text size in UORs from and to the stored multiplier.
int32_t textMultiplier(double sizeUors);
double textSize(int32_t multiplier);

// New elements, level 0, colour, weight and style 0, no properties.
Element makeLine(Point start, Point end);
Element makeLineString(std::vector<Point> vertices);
Element makeText(std::string text, Point origin, double widthUors, double heightUors);
Element makeTextNode(uint16_t nodeNumber, Point origin, double widthUors, double heightUors,
                     int32_t lineSpacing);
Element makeCell(std::string name, Point origin);
Element makeAppData(Bytes payload);
// A reference attachment (type 5, level 9) and a saved view (type 5, level 3).
Element makeReference(ReferenceBody body);
Element makeSavedView(SavedViewBody body);

// The text of a text element, nullptr for other elements.
const std::string* textOf(const Element& element);

}  // namespace vtl::dgn
