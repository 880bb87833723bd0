// Reading a whole V7 file image into its elements, with the checks that refuse a file that is
// not V7, is cut short or holds an element whose length does not fit.
#pragma once

#include <cstdint>
#include <vector>

#include "dgn/DesignFile.h"

namespace vtl::dgn {

struct FileScan {
    bool library = false;
    DesignHeader header;
    std::vector<Record> records;
    uint64_t end = 0;  // the end-of-design marker, or the end of the last element
};

// Raises error 1 with a description of the first fault, for a message that names the file.
FileScan scanFile(const Bytes& image);

// Reads the elements from a position on up to the end-of-design marker or the end of the
// image into records, as scanFile does; returns where they end. The position must not be
// inside a complex element.
uint64_t scanElements(const Bytes& image, uint64_t position, Dimension dimension,
                      std::vector<Record>& records);

}  // namespace vtl::dgn
