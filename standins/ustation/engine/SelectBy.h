// The SELECTBY application: criteria by level and element type, and their execution into the
// selection set. Its key-ins work once "MDL L SELECTBY" has loaded it; unloading forgets the
// criteria.
#pragma once

#include <bitset>
#include <optional>
#include <string>

#include "dgn/Element.h"

namespace vtl::ustation {

class SelectBy {
public:
    bool loaded() const { return loaded_; }
    // Loading starts from every level and type, inclusive, into the selection set.
    void load();
    void unload();

    // One "SELECTBY ..." key-in without its first word; "execute" is the caller's. Returns why
    // it was refused, nothing when it was taken.
    std::optional<std::string> set(const std::string& criteria);

    // Whether an element is selected by the criteria (the mode included).
    bool selects(const dgn::Element& element) const;

private:
    std::optional<std::string> setLevels(const std::string& list);
    std::optional<std::string> setTypes(const std::string& list);

    bool loaded_ = false;
    std::bitset<64> levels_;
    std::bitset<128> types_;
    bool inclusive_ = true;
};

}  // namespace vtl::ustation
