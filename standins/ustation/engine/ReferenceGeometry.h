// Where the elements of a reference file show in the master file: the attachment's mapping, an
// attachment made through a saved view of the reference, and the elements the attachment shows.
#pragma once

#include <cstdint>
#include <vector>

#include "ElementTransform.h"
#include "Fence.h"
#include "dgn/DesignFile.h"

namespace vtl::ustation {

// The attachment's mapping of reference UORs to master UORs, as referenceToMaster() computes it.
Affine referenceAffine(const dgn::ReferenceBody& reference);

// An attachment showing the saved view of the reference at the scale (master units per
// reference unit), the view's centre at the master point: its rotation turns the view upright,
// and its clip is the view's area. File, names and slot are the caller's.
dgn::ReferenceBody attachmentThroughView(const dgn::DesignHeader& master,
                                         const dgn::DesignHeader& reference,
                                         const dgn::ViewInfo& view, double scale,
                                         const dgn::Point& masterPoint);

// The live graphic elements of the reference file (no components) that the attachment shows
// in a view (1 to 8): on a level the attachment displays there, and reaching into its clip.
std::vector<uint64_t> shownElements(const dgn::DesignFile& file,
                                    const dgn::ReferenceBody& reference, int view);

// The x-y extent of a stored element with its components, through the mapping.
Extent2d mappedExtent(const dgn::DesignFile& file, const dgn::Record& head, const Affine& affine);

}  // namespace vtl::ustation
