// The reference list object of the automation interface: the attachments of the design file
// open at the moment of each call, by slot number from 1.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Workspace.h"
#include "dgn/Attachments.h"
#include "mstn/Automation.h"

namespace vtl::ustation {

class ReferenceList : public mstn::RefFiles {
public:
    explicit ReferenceList(std::shared_ptr<Workspace> workspace);

    // The highest slot in use, 0 without attachments.
    int32_t maxRefFiles() override;
    // A slot without an attachment is inactive, found, not displayed and has no file name.
    bool active(int32_t index) override;
    bool notFound(int32_t index) override;
    bool display(int32_t index) override;
    // The file as found from the master file's folder.
    std::string Filename(int32_t index) override;

private:
    std::optional<dgn::StoredReference> at(int32_t index) const;
    std::shared_ptr<Workspace> workspace_;
};

}  // namespace vtl::ustation
