#include "ReferenceList.h"

#include <filesystem>

namespace vtl::ustation {

ReferenceList::ReferenceList(std::vector<Reference> references)
    : references_(std::move(references)) {}

int32_t ReferenceList::maxRefFiles() {
    return static_cast<int32_t>(references_.size());
}

bool ReferenceList::active(int32_t index) {
    const Reference* r = at(index);
    return r && r->active;
}

bool ReferenceList::notFound(int32_t index) {
    const Reference* r = at(index);
    std::error_code ec;
    return r && !std::filesystem::is_regular_file(r->file, ec);
}

bool ReferenceList::display(int32_t index) {
    const Reference* r = at(index);
    return r && r->display;
}

std::string ReferenceList::Filename(int32_t index) {
    const Reference* r = at(index);
    return r ? r->file : std::string();
}

const Reference* ReferenceList::at(int32_t index) const {
    if (index < 1 || index > static_cast<int32_t>(references_.size())) return nullptr;
    return &references_[static_cast<size_t>(index - 1)];
}

}  // namespace vtl::ustation
