#include "ElementCursor.h"

#include <algorithm>

#include "TextGeometry.h"
#include "core/Error.h"
#include "dgn/Attachments.h"

namespace vtl::ustation {

namespace {

constexpr int32_t kEnd = -1;

[[noreturn]] void fail(const std::string& description) {
    throw Error(err::AutomationError, "", description);
}

}  // namespace

ElementCursor::ElementCursor(std::shared_ptr<Workspace> workspace)
    : workspace_(std::move(workspace)) {}

int32_t ElementCursor::fromFile(int32_t position, int32_t fileIndex) {
    position_ = kEnd;
    extent_ = 0;
    parts_.clear();
    current_ = 0;
    reference_.reset();
    const dgn::DesignFile* file = position < 0 ? nullptr : fileOf(fileIndex);
    if (!file) return kEnd;
    const dgn::DesignFile& design = *file;
    const dgn::Record* record = design.find(static_cast<uint64_t>(position));
    // A position inside a complex element goes on with the next element of its own.
    while (record && record->component) record = design.find(record->position + record->size());
    if (!record || record->position > static_cast<uint64_t>(INT32_MAX)) return kEnd;
    parts_.push_back(*record);
    for (const dgn::Record* part : design.components(*record)) parts_.push_back(*part);
    file_ = design.path();
    header_ = workspace_->design->header();
    fileIndex_ = fileIndex;
    position_ = static_cast<int32_t>(record->position);
    extent_ = static_cast<int32_t>(record->extent);
    return position_;
}

const dgn::DesignFile* ElementCursor::fileOf(int32_t fileIndex) {
    if (!workspace_->design) return nullptr;
    const dgn::DesignFile& master = *workspace_->design;
    if (fileIndex == 0) return &master;
    std::optional<dgn::StoredReference> attached = dgn::referenceInSlot(master, fileIndex);
    if (!attached) return nullptr;
    const dgn::DesignFile* file = nullptr;
    try {
        file = &workspace_->referenceFiles.open(dgn::referencePath(master, attached->body));
    } catch (const Error&) {  // a file that is not found has no elements to read
        return nullptr;
    }
    reference_ = std::move(attached->body);
    return file;
}

int32_t ElementCursor::fileSize() {
    return extent_;
}

int32_t ElementCursor::filePos() {
    return position_;
}

int32_t ElementCursor::Type() {
    return current().type;
}

int32_t ElementCursor::GetString(std::string& text) {
    const std::string* value = dgn::textOf(current());
    if (!value) return kNotApplicable;
    text = *value;
    return mstn::Application::MBE_Success;
}

int32_t ElementCursor::GetOrigin(mstn::Point& origin) {
    const std::optional<mstn::Point> found = originOf(current());
    if (!found) return kNotApplicable;
    origin = *found;
    return mstn::Application::MBE_Success;
}

int32_t ElementCursor::getEndPoints(mstn::Point& start, mstn::Point& end) {
    const auto found = endsOf(current());
    if (!found) return kNotApplicable;
    start = found->first;
    end = found->second;
    return mstn::Application::MBE_Success;
}

std::optional<mstn::Point> ElementCursor::originOf(const dgn::Element& element) const {
    const dgn::Body& body = element.body;
    // A text's origin is the point it was placed at; the element keeps its lower left corner.
    if (const auto* text = std::get_if<dgn::TextBody>(&body)) {
        const dgn::Vector3 at = userOrigin(*text, header_.dimension);
        auto master = [&](size_t axis) {
            return (at[axis] - header_.origin[axis]) / header_.uorPerMaster();
        };
        return mstn::Point{master(0), master(1),
                           header_.dimension == dgn::Dimension::Three ? master(2) : 0};
    }
    if (const auto* node = std::get_if<dgn::TextNodeBody>(&body)) return toMaster(node->origin);
    if (const auto* cell = std::get_if<dgn::CellBody>(&body)) return toMaster(cell->origin);
    return std::nullopt;
}

std::optional<std::pair<mstn::Point, mstn::Point>> ElementCursor::endsOf(
    const dgn::Element& element) const {
    const dgn::Body& body = element.body;
    if (const auto* line = std::get_if<dgn::LineBody>(&body)) {
        return std::make_pair(toMaster(line->start), toMaster(line->end));
    }
    const auto* string = std::get_if<dgn::LineStringBody>(&body);
    if (!string || string->vertices.empty()) return std::nullopt;
    return std::make_pair(toMaster(string->vertices.front()), toMaster(string->vertices.back()));
}

int32_t ElementCursor::Level() {
    return current().level;
}
int32_t ElementCursor::Color() {
    return current().symbology.color;
}
int32_t ElementCursor::Weight() {
    return current().symbology.weight;
}

int32_t ElementCursor::nextComponent() {
    requireElement();
    if (current_ + 1 >= parts_.size()) return kNotApplicable;
    ++current_;
    return mstn::Application::MBE_Success;
}

int32_t ElementCursor::setString(const std::string& text) {
    auto* body = std::get_if<dgn::TextBody>(&current().body);
    if (!body) return kNotApplicable;
    body->text = text;
    return mstn::Application::MBE_Success;
}

int32_t ElementCursor::Rewrite() {
    requireElement();
    if (reference_) fail("An element of a reference file cannot be rewritten");
    if (!workspace_->design || workspace_->design->path() != file_) {
        fail("The design file of the element is no longer open");
    }
    dgn::DesignFile& design = *workspace_->design;
    const dgn::Record* stored = design.at(static_cast<uint64_t>(position_));
    if (!stored || stored->element.deleted || stored->element.type != parts_[0].element.type) {
        fail("The element at byte " + std::to_string(position_) + " is no longer in the file");
    }
    dgn::Element head = parts_[0].element;
    std::vector<dgn::Element> components;
    for (size_t k = 1; k < parts_.size(); ++k) components.push_back(parts_[k].element);
    // A text node's line count and longest line follow its components when they are written.
    uint64_t position = components.empty() ? design.rewrite(position_, head)
                                           : design.rewrite(position_, head, components);
    size_t current = current_;
    fromFile(static_cast<int32_t>(position));
    current_ = std::min(current, parts_.size() - 1);
    workspace_->notifyChanged();
    return mstn::Application::MBE_Success;
}

int32_t ElementCursor::Publish(const std::string& name) {
    workspace_->published[name] = weak_from_this();
    return mstn::Application::MBE_Success;
}

// --- The whole element for the automation proxy ------------------------------------------------

mstn::wire::ElementImage ElementCursor::imageOf(const std::vector<const dgn::Record*>& parts,
                                                uint32_t extent) const {
    mstn::wire::ElementImage image;
    image.position = static_cast<int32_t>(parts.front()->position);
    image.size = static_cast<int32_t>(extent);
    for (const dgn::Record* part : parts) {
        const dgn::Element& e = part->element;
        mstn::wire::ComponentImage c{e.type, e.level,     e.symbology.color, e.symbology.weight,
                                     {},     originOf(e), endsOf(e)};
        if (const std::string* text = dgn::textOf(e)) c.text = *text;
        image.parts.push_back(std::move(c));
    }
    return image;
}

const dgn::DesignFile* ElementCursor::sourceFile() {
    if (fileIndex_ == 0) {
        return workspace_->design && workspace_->design->path() == file_ ? &*workspace_->design
                                                                         : nullptr;
    }
    try {
        return &workspace_->referenceFiles.open(file_);
    } catch (const Error&) {  // gone since it was read: nothing follows that can be sent
        return nullptr;
    }
}

ImagedElement::Images ElementCursor::images(size_t ahead) {
    Images found;
    if (parts_.empty()) return found;
    std::vector<const dgn::Record*> held;
    for (const dgn::Record& part : parts_) held.push_back(&part);
    found.images.push_back(imageOf(held, static_cast<uint32_t>(extent_)));
    const dgn::DesignFile* file = sourceFile();
    if (!file) return found;
    uint64_t next = static_cast<uint64_t>(position_) + static_cast<uint64_t>(extent_);
    for (size_t n = 0; n < ahead; ++n) {
        const dgn::Record* record = file->find(next);
        while (record && record->component) record = file->find(record->position + record->size());
        if (!record || record->position > static_cast<uint64_t>(INT32_MAX)) {
            found.reachesEnd = true;
            return found;
        }
        std::vector<const dgn::Record*> parts{record};
        for (const dgn::Record* part : file->components(*record)) parts.push_back(part);
        found.images.push_back(imageOf(parts, record->extent));
        next = record->position + record->extent;
    }
    return found;
}

void ElementCursor::restore(const mstn::wire::ElementState& state) {
    if (state.position < 0) {  // the proxy holds no element
        fromFile(-1);
        return;
    }
    if (fromFile(state.position, state.fileIndex) != state.position) {
        fail("The element at byte " + std::to_string(state.position) + " is no longer in the file");
    }
    for (const auto& [component, text] : state.strings) {
        if (component < 0 || static_cast<size_t>(component) >= parts_.size()) continue;
        current_ = static_cast<size_t>(component);
        setString(text);
    }
    current_ = std::min(static_cast<size_t>(std::max(state.component, 0)), parts_.size() - 1);
}

const dgn::Bytes& ElementCursor::currentBytes() const {
    requireElement();
    return parts_[current_].bytes;
}

const dgn::Element& ElementCursor::current() const {
    requireElement();
    return parts_[current_].element;
}

dgn::Element& ElementCursor::current() {
    requireElement();
    return parts_[current_].element;
}

void ElementCursor::requireElement() const {
    if (parts_.empty()) fail("The element object holds no element");
}

mstn::Point ElementCursor::toMaster(const dgn::Point& point) const {
    if (!reference_) {
        auto master = header_.toMaster(point);
        return {master[0], master[1], master[2]};
    }
    const std::array<double, 3> uors = dgn::referenceToMaster(*reference_, point);
    const double perMaster = header_.uorPerMaster();
    return {(uors[0] - header_.origin[0]) / perMaster, (uors[1] - header_.origin[1]) / perMaster,
            (uors[2] - header_.origin[2]) / perMaster};
}

}  // namespace vtl::ustation
