#include "dgn/Attachments.h"

#include <set>

#include "core/Error.h"
#include "core/Text.h"

namespace vtl::dgn {

namespace {

template <class Body>
std::vector<std::pair<uint64_t, const Body*>> bodies(const DesignFile& design) {
    std::vector<std::pair<uint64_t, const Body*>> found;
    for (const Record& r : design.records()) {
        if (r.element.deleted || r.component) continue;
        if (const auto* body = std::get_if<Body>(&r.element.body)) {
            found.emplace_back(r.position, body);
        }
    }
    return found;
}

Element referenceElement(ReferenceBody body, size_t attachedBefore) {
    Element element = makeReference(std::move(body));
    if (attachedBefore >= static_cast<size_t>(kGroupDataReferences)) {
        element.type = type::Application;
        element.level = kAppReferenceLevel;
    }
    return element;
}

}  // namespace

std::vector<StoredReference> references(const DesignFile& design) {
    std::vector<StoredReference> list;
    for (const auto& [position, body] : bodies<ReferenceBody>(design)) {
        list.push_back({position, *body});
    }
    return list;
}

std::optional<StoredReference> referenceInSlot(const DesignFile& design, int fileNumber) {
    for (StoredReference& r : references(design)) {
        if (r.body.fileNumber == fileNumber) return std::move(r);
    }
    return std::nullopt;
}

std::optional<StoredReference> findReference(const DesignFile& design,
                                             std::string_view logicalName) {
    for (StoredReference& r : references(design)) {
        if (text::iequals(r.body.logicalName, logicalName)) return std::move(r);
    }
    return std::nullopt;
}

int attachReference(DesignFile& design, ReferenceBody body) {
    const std::vector<StoredReference> attached = references(design);
    std::set<int> taken;
    for (const StoredReference& r : attached) taken.insert(r.body.fileNumber);
    int slot = 1;
    while (taken.count(slot)) ++slot;
    if (slot > kMaxReferences) {
        raise(err::InvalidCall, "All " + std::to_string(kMaxReferences) +
                                    " reference slots of the design file are taken");
    }
    body.fileNumber = static_cast<uint8_t>(slot);
    body.builderOptions |= refopt::SlotInUse;
    design.append(referenceElement(std::move(body), attached.size()));
    return slot;
}

void updateReference(DesignFile& design, const StoredReference& reference) {
    const Record* stored = design.at(reference.position);
    if (!stored || !std::holds_alternative<ReferenceBody>(stored->element.body)) {
        raise(err::InvalidCall,
              "There is no reference attachment at byte " + std::to_string(reference.position));
    }
    Element element = stored->element;
    element.body = reference.body;
    design.rewrite(reference.position, element);
}

void detachReference(DesignFile& design, const StoredReference& reference) {
    design.remove(reference.position);
}

std::filesystem::path referencePath(const DesignFile& design, const ReferenceBody& reference) {
    const std::filesystem::path file(reference.file);
    if (file.empty() || file.is_absolute()) return file;
    return design.path().parent_path() / file;
}

std::vector<StoredView> savedViews(const DesignFile& design) {
    std::vector<StoredView> list;
    for (const auto& [position, body] : bodies<SavedViewBody>(design)) {
        list.push_back({position, *body});
    }
    return list;
}

std::optional<StoredView> findSavedView(const DesignFile& design, std::string_view name) {
    for (StoredView& v : savedViews(design)) {
        if (text::iequals(v.body.name, name)) return std::move(v);
    }
    return std::nullopt;
}

// The new view is written before the old one goes, so a failure keeps one of them.
void saveView(DesignFile& design, const SavedViewBody& view) {
    const std::optional<StoredView> old = findSavedView(design, view.name);
    design.append(makeSavedView(view));
    if (old) design.remove(old->position);
}

void deleteSavedView(DesignFile& design, const StoredView& view) {
    design.remove(view.position);
}

}  // namespace vtl::dgn
