// The reference attachments and saved views of a design file, stored in its elements as V7
// stores them: what the reference key-ins, the reference list of the automation interface, the
// element walk through references and a fence copy of what references show build on.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "dgn/DesignFile.h"

namespace vtl::dgn {

struct StoredReference {
    uint64_t position = 0;  // of its element
    ReferenceBody body;
};

struct StoredView {
    uint64_t position = 0;
    SavedViewBody body;
};

// V7 keeps the first 32 attachments in group data elements, the others in application
// elements; 255 slots in all.
inline constexpr int kGroupDataReferences = 32;
inline constexpr int kMaxReferences = 255;

// --- Reference attachments --------------------------------------------------------------------

// The attachments in file order.
std::vector<StoredReference> references(const DesignFile& design);
std::optional<StoredReference> referenceInSlot(const DesignFile& design, int fileNumber);
// The first attachment of that logical name, compared without regard to case.
std::optional<StoredReference> findReference(const DesignFile& design,
                                             std::string_view logicalName);
// Attaches in the lowest free slot, which it writes into the body with the slot-in-use bit,
// and returns; error 5 when all slots are taken.
int attachReference(DesignFile& design, ReferenceBody body);
// Writes a changed attachment over the stored one (display, levels, placement).
void updateReference(DesignFile& design, const StoredReference& reference);
void detachReference(DesignFile& design, const StoredReference& reference);
// The reference file on disk: a relative name is taken from the master file's folder.
std::filesystem::path referencePath(const DesignFile& design, const ReferenceBody& reference);

// --- Saved views ------------------------------------------------------------------------------

std::vector<StoredView> savedViews(const DesignFile& design);
// The saved view of that name, compared without regard to case.
std::optional<StoredView> findSavedView(const DesignFile& design, std::string_view name);
// Stores the view, replacing a saved view of the same name.
void saveView(DesignFile& design, const SavedViewBody& view);
void deleteSavedView(DesignFile& design, const StoredView& view);

}  // namespace vtl::dgn
