#include "CellLibrary.h"

#include <cmath>

#include "CellGeometry.h"
#include "Selection.h"
#include "core/Error.h"
#include "core/Text.h"
#include "dgn/Radix50.h"

namespace vtl::ustation {

namespace fs = std::filesystem;

namespace {

std::string quoted(const fs::path& path) {
    return "\"" + path.string() + "\"";
}

const char* dimensionName(dgn::Dimension d) {
    return d == dgn::Dimension::Three ? "3-D" : "2-D";
}

// A cell name as libraries store it: upper case, at most 6 Radix-50 characters.
std::string cellName(const std::string& name) {
    std::string stored = text::upper(text::trim(name));
    if (stored.empty()) raise(err::InvalidCall, "The cell name is empty");
    dgn::toRadix50(stored, 2);  // raises for names a library cannot store
    return stored;
}

// The top-level graphic elements of the design with their components, moved so that the
// global origin becomes (0, 0, 0).
std::vector<dgn::Element> elementsAroundOrigin(const dgn::DesignFile& design) {
    Placement toLibrary;
    const auto& origin = design.header().origin;
    for (size_t axis = 0; axis < 3; ++axis) toLibrary.offset[axis] = -std::round(origin[axis]);
    toLibrary.flat = design.dimension() == dgn::Dimension::Two;
    std::vector<dgn::Element> elements;
    for (uint64_t position : graphicElements(design)) {
        const dgn::Record* record = design.at(position);
        elements.push_back(placed(record->element, toLibrary));
        for (const dgn::Record* part : design.components(*record)) {
            elements.push_back(placed(part->element, toLibrary));
        }
    }
    return elements;
}

dgn::DesignFile libraryFor(const fs::path& path, dgn::Dimension dimension) {
    std::error_code ec;
    if (!fs::exists(path, ec)) return dgn::DesignFile::createLibrary(path, dimension);
    dgn::DesignFile library = openCellLibrary(path);
    if (library.dimension() != dimension) {
        raise(err::InvalidCall, "The cell library " + quoted(path) + " is " +
                                    dimensionName(library.dimension()) + ", the design file is " +
                                    dimensionName(dimension));
    }
    return library;
}

}  // namespace

dgn::DesignFile openCellLibrary(const fs::path& path) {
    dgn::DesignFile library = dgn::DesignFile::open(path);
    if (!library.isCellLibrary()) {
        raise(err::InvalidCall,
              "The file " + quoted(path) + " is a design file, not a cell library");
    }
    return library;
}

std::optional<CellDefinition> findCell(const dgn::DesignFile& library, std::string_view name) {
    for (const dgn::Record& r : library.records()) {
        const auto* cell = std::get_if<dgn::CellLibraryBody>(&r.element.body);
        if (r.element.deleted || r.component || !cell) continue;
        if (!text::iequals(cell->name, text::trim(name))) continue;
        CellDefinition definition{r.position, library.dimension(), r.element, {}};
        for (const dgn::Record* part : library.components(r)) {
            definition.components.push_back(part->element);
        }
        return definition;
    }
    return std::nullopt;
}

std::vector<dgn::Element> placeCell(const CellDefinition& cell, const dgn::Point& origin,
                                    const std::array<double, 3>& scale, dgn::Dimension dimension) {
    if (cell.dimension != dimension) {
        raise(err::InvalidCall, std::string("The cell library is ") +
                                    dimensionName(cell.dimension) + ", the design file " +
                                    dimensionName(dimension));
    }
    const Placement placement{{double(origin.x), double(origin.y), double(origin.z)},
                              scale,
                              dimension == dgn::Dimension::Two};
    // A header with the identity transformation at (0, 0, 0), placed like its components,
    // gets the point as origin and the scale as transformation.
    const auto& stored = std::get<dgn::CellLibraryBody>(cell.header.body);
    dgn::Element head = dgn::makeCell(stored.name, {});
    head.level = cell.header.level;
    head.symbology = cell.header.symbology;
    std::vector<dgn::Element> elements{placed(std::move(head), placement)};
    for (const dgn::Element& part : cell.components) elements.push_back(placed(part, placement));
    return elements;
}

void storeCell(const fs::path& libraryPath, const std::string& name, const fs::path& designPath) {
    const std::string stored = cellName(name);
    const dgn::DesignFile design = dgn::DesignFile::open(designPath);
    if (design.isCellLibrary()) {
        raise(err::InvalidCall,
              "The file " + quoted(designPath) + " is a cell library, not a design file");
    }
    std::vector<dgn::Element> parts = elementsAroundOrigin(design);
    if (parts.empty()) {
        raise(err::InvalidCall,
              "The design file " + quoted(designPath) + " holds no graphic elements");
    }
    dgn::DesignFile library = libraryFor(libraryPath, design.dimension());
    const std::optional<CellDefinition> old = findCell(library, stored);
    dgn::Element head;
    head.type = dgn::type::CellLibraryHeader;
    head.level = parts.front().level;
    head.symbology = parts.front().symbology;
    dgn::CellLibraryBody body;
    body.name = stored;
    head.body = body;
    // The new cell is written before the old one goes, so a failure leaves one cell too many
    // rather than none.
    library.append(head, parts);
    if (old) {
        library.remove(old->position);
        library.compress();
    }
}

}  // namespace vtl::ustation
