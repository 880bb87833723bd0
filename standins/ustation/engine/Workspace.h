// What the session shares with the element objects it hands out: the open design file, the
// elements published to expressions, the reference files read through its attachments and the
// hook that tells the window of a change.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "ReferenceFiles.h"
#include "dgn/DesignFile.h"

namespace vtl::ustation {

class ElementCursor;

struct Workspace {
    std::optional<dgn::DesignFile> design;
    // Published elements by name, as expressions name them.
    std::map<std::string, std::weak_ptr<ElementCursor>> published;
    ReferenceFiles referenceFiles;
    std::function<void()> changed;

    void notifyChanged() const {
        if (changed) changed();
    }
};

}  // namespace vtl::ustation
