#include "ReferenceList.h"

#include <algorithm>
#include <filesystem>

namespace vtl::ustation {

ReferenceList::ReferenceList(std::shared_ptr<Workspace> workspace)
    : workspace_(std::move(workspace)) {}

int32_t ReferenceList::maxRefFiles() {
    if (!workspace_->design) return 0;
    int32_t highest = 0;
    for (const dgn::StoredReference& r : dgn::references(*workspace_->design)) {
        highest = std::max<int32_t>(highest, r.body.fileNumber);
    }
    return highest;
}

bool ReferenceList::active(int32_t index) {
    const auto r = at(index);
    return r && r->body.inUse();
}

bool ReferenceList::notFound(int32_t index) {
    const auto r = at(index);
    std::error_code ec;
    return r &&
           !std::filesystem::is_regular_file(dgn::referencePath(*workspace_->design, r->body), ec);
}

bool ReferenceList::display(int32_t index) {
    const auto r = at(index);
    return r && r->body.displayed();
}

std::string ReferenceList::Filename(int32_t index) {
    const auto r = at(index);
    return r ? dgn::referencePath(*workspace_->design, r->body).string() : std::string();
}

std::optional<dgn::StoredReference> ReferenceList::at(int32_t index) const {
    if (!workspace_->design || index < 1 || index > dgn::kMaxReferences) return std::nullopt;
    return dgn::referenceInSlot(*workspace_->design, index);
}

}  // namespace vtl::ustation
