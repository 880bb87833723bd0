#include "dgn/Element.h"

#include <cmath>

namespace vtl::dgn {

bool hasDisplayHeader(int t) {
    switch (t) {
        case 0:
        case type::CellLibraryHeader:
        case type::DigitizerSetup:
        case type::DesignHeader:
        case type::LevelSymbology:
        case 32:
        case 44:
        case 48:
        case 49:
        case 50:
        case 51:
        case 57:
        case 60:
        case 61:
        case 62:
        case 63:
            return false;
        default:
            return true;
    }
}

bool isComplexHeader(int t) {
    switch (t) {
        case type::CellLibraryHeader:
        case type::CellHeader:
        case type::TextNode:
        case type::ComplexChain:
        case type::ComplexShape:
        case type::Surface:
        case type::Solid:
        case type::SharedCellDefinition:
            return true;
        default:
            return false;
    }
}

bool hasRange(int t) {
    return t != type::DesignHeader && t != type::DigitizerSetup;
}

std::string typeName(int t) {
    switch (t) {
        case type::CellLibraryHeader:
            return "Cell Library Header";
        case type::CellHeader:
            return "Cell Header";
        case type::Line:
            return "Line";
        case type::LineString:
            return "Line String";
        case type::GroupData:
            return "Group Data";
        case type::Shape:
            return "Shape";
        case type::TextNode:
            return "Text Node";
        case type::DigitizerSetup:
            return "Digitizer Setup";
        case type::DesignHeader:
            return "Design Header";
        case type::LevelSymbology:
            return "Level Symbology";
        case type::ComplexChain:
            return "Complex Chain";
        case type::ComplexShape:
            return "Complex Shape";
        case type::Text:
            return "Text";
        case type::Application:
            return "Application";
        default:
            return "Type " + std::to_string(t);
    }
}

int32_t textMultiplier(double sizeUors) {
    return static_cast<int32_t>(std::lround(sizeUors * 1000.0 / 6.0));
}

double textSize(int32_t multiplier) {
    return multiplier * 6.0 / 1000.0;
}

namespace {

Element withBody(int t, Body body) {
    Element element;
    element.type = t;
    element.body = std::move(body);
    return element;
}

}  // namespace

Element makeLine(Point start, Point end) {
    return withBody(type::Line, LineBody{start, end});
}

Element makeLineString(std::vector<Point> vertices) {
    return withBody(type::LineString, LineStringBody{std::move(vertices)});
}

Element makeText(std::string text, Point origin, double widthUors, double heightUors) {
    TextBody body;
    body.text = std::move(text);
    body.origin = origin;
    body.lengthMult = textMultiplier(widthUors);
    body.heightMult = textMultiplier(heightUors);
    return withBody(type::Text, std::move(body));
}

Element makeTextNode(uint16_t nodeNumber, Point origin, double widthUors, double heightUors,
                     int32_t lineSpacing) {
    TextNodeBody body;
    body.nodeNumber = nodeNumber;
    body.origin = origin;
    body.lengthMult = textMultiplier(widthUors);
    body.heightMult = textMultiplier(heightUors);
    body.lineSpacing = lineSpacing;
    body.maxLength = 255;
    return withBody(type::TextNode, std::move(body));
}

Element makeCell(std::string name, Point origin) {
    CellBody body;
    body.name = std::move(name);
    body.origin = origin;
    return withBody(type::CellHeader, std::move(body));
}

Element makeAppData(Bytes payload) {
    Element element = withBody(type::Application, AppDataBody{std::move(payload)});
    element.level = kAppDataLevel;
    return element;
}

// Built in place: GCC 12 takes the variant temporary withBody() would make for a heap
// object it frees (a false -Wfree-nonheap-object).
Element makeReference(ReferenceBody body) {
    Element element;
    element.type = type::GroupData;
    element.level = kReferenceLevel;
    element.body.emplace<ReferenceBody>(std::move(body));
    return element;
}

Element makeSavedView(SavedViewBody body) {
    Element element;
    element.type = type::GroupData;
    element.level = kSavedViewLevel;
    element.body.emplace<SavedViewBody>(std::move(body));
    return element;
}

std::array<double, 3> referenceToMaster(const ReferenceBody& r, const Point& point) {
    const double d[3] = {(static_cast<double>(point.x) - r.referenceOrigin.x) * r.conversion,
                         (static_cast<double>(point.y) - r.referenceOrigin.y) * r.conversion,
                         (static_cast<double>(point.z) - r.referenceOrigin.z) * r.conversion};
    const double origin[3] = {static_cast<double>(r.masterOrigin.x),
                              static_cast<double>(r.masterOrigin.y),
                              static_cast<double>(r.masterOrigin.z)};
    std::array<double, 3> master{};
    for (size_t row = 0; row < 3; ++row) {
        master[row] = origin[row];
        for (size_t col = 0; col < 3; ++col) master[row] += r.transform[3 * row + col] * d[col];
    }
    return master;
}

const std::string* textOf(const Element& element) {
    const auto* text = std::get_if<TextBody>(&element.body);
    return text ? &text->text : nullptr;
}

}  // namespace vtl::dgn
