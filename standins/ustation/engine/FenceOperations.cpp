#include "FenceOperations.h"

#include <algorithm>
#include <filesystem>

#include "ReferenceGeometry.h"
#include "Selection.h"
#include "SessionApplication.h"
#include "Views.h"
#include "core/Error.h"
#include "dgn/Attachments.h"

namespace vtl::ustation {

namespace {

// The master file's elements the fence takes: on a level view 1 displays.
std::vector<uint64_t> masterContents(SessionApplication& session, const dgn::DesignFile& file) {
    const Fence& fence = session.fence();
    std::vector<uint64_t> contents;
    for (uint64_t position : graphicElements(file)) {
        const dgn::Record* head = file.at(position);
        if (!levelShown(session.views()[0].levels, head->element.level)) continue;
        if (fence.takes(mappedExtent(file, *head, Affine{}))) contents.push_back(position);
    }
    return contents;
}

bool locked(const dgn::Element& e) {
    return (e.properties & dgn::prop::Locked) != 0;
}

void changeUnlock(dgn::DesignFile& file, const std::vector<uint64_t>& contents) {
    for (uint64_t position : contents) {
        const dgn::Record* record = file.at(position);
        if (!record || record->element.deleted || !locked(record->element)) continue;
        dgn::Element element = record->element;
        element.properties = static_cast<uint16_t>(element.properties & ~dgn::prop::Locked);
        file.rewrite(position, element);
    }
}

void remove(dgn::DesignFile& file, const std::vector<uint64_t>& contents) {
    for (uint64_t position : contents) {
        const dgn::Record* record = file.at(position);
        if (!record || record->element.deleted || locked(record->element)) continue;
        file.remove(position);
    }
}

// One element with its components, mapped, appended to the master file; false when the
// stand-in cannot map it.
bool copyElement(SessionApplication& session, const dgn::DesignFile& from, const dgn::Record& head,
                 const Affine& affine) {
    dgn::DesignFile& master = *session.design();
    try {
        const dgn::Element copy =
            transformed(head.element, affine, from.dimension(), master.dimension());
        std::vector<dgn::Element> parts;
        for (const dgn::Record* part : from.components(head)) {
            parts.push_back(
                transformed(part->element, affine, from.dimension(), master.dimension()));
        }
        parts.empty() ? void(master.append(copy)) : void(master.append(copy, parts));
        return true;
    } catch (const Error& e) {
        session.journal().note("not copied from " + from.path().string() + ": " + e.description());
        return false;
    }
}

Affine displaced(Affine affine, const dgn::Vector3& by) {
    for (size_t a = 0; a < 3; ++a) affine.offset[a] += by[a];
    return affine;
}

// What each displayed, locatable reference shows in view 1 and the fence takes, in the master's
// coordinates.
void copyReferences(SessionApplication& session, const dgn::Vector3& by) {
    dgn::DesignFile& master = *session.design();
    for (const dgn::StoredReference& r : dgn::references(master)) {
        if (!r.body.displayed() || !(r.body.builderOptions & dgn::refopt::LocateLock)) continue;
        const dgn::DesignFile* file = nullptr;
        try {
            file = &session.workspace().referenceFiles.open(dgn::referencePath(master, r.body));
        } catch (const Error& e) {
            session.journal().note("reference " + r.body.logicalName +
                                   " not copied: " + e.description());
            continue;
        }
        const Affine affine = displaced(referenceAffine(r.body), by);
        for (uint64_t position : shownElements(*file, r.body, 1)) {
            const dgn::Record* head = file->at(position);
            if (session.fence().takes(mappedExtent(*file, *head, affine))) {
                copyElement(session, *file, *head, affine);
            }
        }
    }
}

}  // namespace

PlaceFence::PlaceFence(SessionApplication& session)
    : Command(session.drawing()), session_(session) {
    session_.fence().block.reset();
}

void PlaceFence::dataPoint(const dgn::Point& point) {
    if (!corner_) {
        corner_ = point;
        session_.fence().block.reset();
        return;
    }
    session_.fence().block =
        Extent2d{double(std::min(corner_->x, point.x)), double(std::min(corner_->y, point.y)),
                 double(std::max(corner_->x, point.x)), double(std::max(corner_->y, point.y))};
    corner_.reset();
}

void placeFenceOverView(SessionApplication& session) {
    session.startCommand(std::make_unique<PlaceFence>(session));
    session.startViewCommand("place fence allfiles", [&session](int) {
        constexpr double kPlane = 2147483648.0;  // the UOR range of a V7 design plane
        session.fence().block = Extent2d{-kPlane, -kPlane, kPlane, kPlane};
    });
}

FenceOperation::FenceOperation(SessionApplication& session, FenceAction action)
    : Command(session.drawing()), session_(session), action_(action) {}

void FenceOperation::dataPoint(const dgn::Point&) {
    dgn::DesignFile* file = session_.design();
    if (!file || !session_.fence().block) {
        session_.journal().note("no fence is placed");
        return;
    }
    const std::vector<uint64_t> contents = masterContents(session_, *file);
    action_ == FenceAction::Delete ? remove(*file, contents) : changeUnlock(*file, contents);
    session_.workspace().notifyChanged();
}

FenceCopy::FenceCopy(SessionApplication& session) : Command(session.drawing()), session_(session) {}

void FenceCopy::dataPoint(const dgn::Point& point) {
    dgn::DesignFile* file = session_.design();
    if (!file || !session_.fence().block) {
        session_.journal().note("no fence is placed");
        return;
    }
    if (!from_) {
        from_ = point;
        return;
    }
    const dgn::Vector3 by{double(point.x) - from_->x, double(point.y) - from_->y,
                          double(point.z) - from_->z};
    // The contents are taken before anything is added, so copies are not copied again.
    const std::vector<uint64_t> contents = masterContents(session_, *file);
    for (uint64_t position : contents) {
        copyElement(session_, *file, *file->at(position), displaced(Affine{}, by));
    }
    copyReferences(session_, by);
    session_.workspace().notifyChanged();
}

}  // namespace vtl::ustation
