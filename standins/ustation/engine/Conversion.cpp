#include "Conversion.h"

#include <system_error>

#include "ElementTransform.h"
#include "Selection.h"
#include "core/Error.h"

namespace vtl::ustation {

namespace fs = std::filesystem;

namespace {

// A point p of the 3-D file lies at R (p - o3) in master units times the UORs per unit; the
// 2-D file keeps the units and the x and y of the origin, so its UORs are R p - R o3 + o2.
Affine projection(const dgn::DesignHeader& header, const dgn::Matrix3& view) {
    const dgn::Vector3 turned = dgn::apply(view, header.origin);
    return Affine{view, {header.origin[0] - turned[0], header.origin[1] - turned[1], 0}};
}

void copyElements(const dgn::DesignFile& design, const Affine& affine, dgn::DesignFile& target,
                  std::vector<std::string>& skipped) {
    using dgn::Dimension;
    for (const dgn::Record& record : design.records()) {
        const dgn::Element& e = record.element;
        if (e.deleted || record.component) continue;
        if (std::holds_alternative<dgn::ColorTableBody>(e.body)) {
            target.append(e);
            continue;
        }
        if (!isGraphic(e)) continue;
        try {
            const dgn::Element head = transformed(e, affine, Dimension::Three, Dimension::Two);
            std::vector<dgn::Element> parts;
            for (const dgn::Record* part : design.components(record)) {
                parts.push_back(
                    transformed(part->element, affine, Dimension::Three, Dimension::Two));
            }
            parts.empty() ? void(target.append(head)) : void(target.append(head, parts));
        } catch (const Error& error) {
            skipped.push_back(dgn::typeName(e.type) + " at byte " +
                              std::to_string(record.position) + ": " + error.description());
        }
    }
}

}  // namespace

void convertTo2d(const dgn::DesignFile& design, const dgn::Matrix3& view, const fs::path& target,
                 std::vector<std::string>& skipped) {
    const dgn::DesignHeader& header = design.header();
    fs::path partial = target;
    partial += ".converting";
    std::error_code ec;
    fs::remove(partial, ec);
    try {
        dgn::DesignFile converted = dgn::DesignFile::create(
            partial, dgn::Dimension::Two, header.units, {header.origin[0], header.origin[1], 0});
        copyElements(design, projection(header, view), converted, skipped);
    } catch (...) {
        fs::remove(partial, ec);
        throw;
    }
    fs::rename(partial, target, ec);
    if (ec) {
        fs::remove(partial, ec);
        raise(err::PathFileAccess, "The converted file cannot be written to " + target.string());
    }
}

}  // namespace vtl::ustation
