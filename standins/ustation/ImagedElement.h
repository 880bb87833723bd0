// An element object that hands its whole element to the automation proxy at once, with the
// elements after it, and takes back what the proxy did with it meanwhile: so a walk over a
// drawing costs a round trip per many elements rather than one per member call. The stand-in's
// element objects are such; the server serves other element objects member by member.
#pragma once

#include <cstddef>
#include <vector>

#include "mstn/Protocol.h"

namespace vtl::ustation {

class ImagedElement {
public:
    virtual ~ImagedElement() = default;

    struct Images {
        std::vector<mstn::wire::ElementImage> images;
        bool reachesEnd = false;  // no element of the file follows the last of them
    };
    // The element held, then up to `ahead` elements after it in its file, in file order; none
    // while no element is held.
    virtual Images images(size_t ahead) = 0;
    // Holds the element at the state's position again, sets the state's texts on its
    // components and makes the state's component the current one.
    virtual void restore(const mstn::wire::ElementState& state) = 0;
};

}  // namespace vtl::ustation
