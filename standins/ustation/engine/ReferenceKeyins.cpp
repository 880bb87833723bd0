#include "ReferenceKeyins.h"

#include <filesystem>

#include "Keyins.h"
#include "ReferenceGeometry.h"
#include "SessionApplication.h"
#include "core/Error.h"
#include "core/Numbers.h"
#include "core/Text.h"
#include "dgn/Attachments.h"

namespace vtl::ustation {

namespace {

constexpr size_t kMaxLogicalName = 22;
constexpr size_t kMaxDescription = 42;

}  // namespace

std::optional<double> referenceScale(const std::string& text) {
    const std::vector<std::string> parts = text::split(text::trim(text), ':');
    if (parts.empty() || parts.size() > 2) return std::nullopt;
    const std::optional<double> master = num::parseDecimal(parts[0]);
    const std::optional<double> reference =
        parts.size() == 2 ? num::parseDecimal(parts[1]) : std::optional<double>(1.0);
    if (!master || !reference || *master <= 0 || *reference <= 0) return std::nullopt;
    return *master / *reference;
}

AttachReference::AttachReference(SessionApplication& session, const std::string& fileAndName)
    : Command(session.drawing()), session_(session) {
    const size_t comma = fileAndName.rfind(',');
    file_ = text::trim(fileAndName.substr(0, comma));
    if (comma != std::string::npos) logicalName_ = text::trim(fileAndName.substr(comma + 1));
}

bool AttachReference::keyedText(const std::string& text) {
    for (std::optional<std::string>* answer : {&description_, &view_, &scale_}) {
        if (*answer) continue;
        *answer = text::trim(text);
        return true;
    }
    return false;
}

void AttachReference::dataPoint(const dgn::Point& point) {
    if (!scale_) {
        session_.journal().note("reference " + file_ + " not attached, its scale is missing");
        return;
    }
    try {
        attach(point);
    } catch (const Error& e) {
        session_.journal().note("reference " + file_ + " not attached: " + e.description());
    }
    clear();
}

void AttachReference::reset() {
    if (!attached_ && !description_) {
        try {
            attachCoincident();
        } catch (const Error& e) {
            session_.journal().note("reference " + file_ + " not attached: " + e.description());
        }
    }
    clear();
}

void AttachReference::finish() {
    clear();
}

void AttachReference::clear() {
    description_.reset();
    view_.reset();
    scale_.reset();
}

std::filesystem::path AttachReference::path() const {
    std::filesystem::path path = file_;
    if (path.is_relative()) path = session_.design()->path().parent_path() / path;
    return path;
}

void AttachReference::attach(const dgn::Point& point) {
    dgn::DesignFile* master = session_.design();
    if (!master) raise(err::InvalidCall, "no design file is open");
    const std::optional<double> scale = referenceScale(*scale_);
    if (!scale) raise(err::InvalidCall, "the scale " + *scale_ + " is not M:R");
    if (description_->size() > kMaxDescription) {
        raise(err::InvalidCall, "its logical name or description is too long");
    }
    const dgn::DesignFile& file = session_.workspace().referenceFiles.open(path());
    const std::optional<dgn::StoredView> view = dgn::findSavedView(file, *view_);
    if (!view || view->body.views.empty()) {
        raise(err::InvalidCall, "the file has no saved view " + *view_);
    }
    dgn::ReferenceBody body = attachmentThroughView(master->header(), file.header(),
                                                    view->body.views.front(), *scale, point);
    body.description = *description_;
    store(*master, std::move(body));
}

void AttachReference::attachCoincident() {
    dgn::DesignFile* master = session_.design();
    if (!master) raise(err::InvalidCall, "no design file is open");
    const dgn::DesignFile& file = session_.workspace().referenceFiles.open(path());
    dgn::ReferenceBody body;
    body.conversion = master->header().uorPerMaster() / file.header().uorPerMaster();
    body.referenceOrigin = file.header().toUors(0, 0, 0);
    body.masterOrigin = master->header().toUors(0, 0, 0);
    for (auto& levels : body.viewLevels) levels = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    store(*master, std::move(body));
}

void AttachReference::store(dgn::DesignFile& master, dgn::ReferenceBody body) {
    if (logicalName_.size() > kMaxLogicalName) {
        raise(err::InvalidCall, "its logical name or description is too long");
    }
    body.file = file_;
    body.logicalName = logicalName_;
    // A new attachment can be located, so fence operations reach its elements.
    body.builderOptions |= dgn::refopt::LocateLock;
    const int slot = dgn::attachReference(master, std::move(body));
    attached_ = true;
    session_.journal().note("attached " + file_ + " as " + logicalName_ + " in slot " +
                            std::to_string(slot));
    session_.workspace().notifyChanged();
}

void detachReference(SessionApplication& session, const std::string& logicalName) {
    dgn::DesignFile* master = session.design();
    const std::optional<dgn::StoredReference> reference =
        master ? dgn::findReference(*master, text::trim(logicalName)) : std::nullopt;
    if (!reference) {
        session.journal().note("no reference " + logicalName + " is attached");
        return;
    }
    dgn::detachReference(*master, *reference);
    session.workspace().notifyChanged();
}

void referenceLocate(SessionApplication& session, const std::string& onOffAndName) {
    const std::string words = phraseOf(onOffAndName);
    const bool on = words.starts_with("on ");
    if (!on && !words.starts_with("off ")) {
        session.journal().unknownKeyin("reference locate " + onOffAndName);
        return;
    }
    const std::string name = text::trim(onOffAndName).substr(on ? 3 : 4);
    dgn::DesignFile* master = session.design();
    if (!master) return;
    bool found = false;
    for (dgn::StoredReference& r : dgn::references(*master)) {
        if (!text::iequals(text::trim(name), "all") &&
            !text::iequals(r.body.logicalName, text::trim(name))) {
            continue;
        }
        found = true;
        const auto bit = static_cast<uint16_t>(dgn::refopt::LocateLock);
        r.body.builderOptions =
            static_cast<uint16_t>(on ? r.body.builderOptions | bit : r.body.builderOptions & ~bit);
        dgn::updateReference(*master, r);
    }
    if (!found && !text::iequals(text::trim(name), "all")) {
        session.journal().note("no reference " + name + " is attached");
    }
}

}  // namespace vtl::ustation
