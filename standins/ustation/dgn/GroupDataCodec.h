// The fields of saved views and reference attachments, and the view definitions they share with
// the design header: read from and written into element bytes. Used by the element codec.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dgn/Element.h"

namespace vtl::dgn {

ViewInfo readViewInfo(const uint8_t* p);
void writeViewInfo(uint8_t* p, const ViewInfo& view);

// Decode the fields of an element that end at fieldsEnd (where its linkage starts); error 1
// when they do not fit.
SavedViewBody decodeSavedView(const uint8_t* p, size_t fieldsEnd);
ReferenceBody decodeReference(const uint8_t* p, size_t fieldsEnd);

// The element's bytes up to the end of its fields, the header words left zero; error 5 for
// values the fields cannot hold.
Bytes encodeSavedView(const SavedViewBody& body);
Bytes encodeReference(const ReferenceBody& body);

// A reference file name too long for the attachment's own field travels in a user linkage of
// the stand-in: longFileLinkage() makes it (empty when the field holds the name), and
// takeLongFileName() moves it from the element's linkage into the body.
Bytes longFileLinkage(const ReferenceBody& body);
void takeLongFileName(Element& element);

}  // namespace vtl::dgn
