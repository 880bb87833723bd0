// The reference list object of the automation interface: the files attached to the open design,
// numbered from 1.
#pragma once

#include <string>
#include <vector>

#include "mstn/Automation.h"

namespace vtl::ustation {

struct Reference {
    std::string file;
    bool active = true;
    bool display = true;
};

class ReferenceList : public mstn::RefFiles {
public:
    explicit ReferenceList(std::vector<Reference> references);

    int32_t maxRefFiles() override;
    // An index without an attachment is inactive, not displayed and has no file name.
    bool active(int32_t index) override;
    bool notFound(int32_t index) override;
    bool display(int32_t index) override;
    std::string Filename(int32_t index) override;

private:
    const Reference* at(int32_t index) const;
    std::vector<Reference> references_;
};

}  // namespace vtl::ustation
