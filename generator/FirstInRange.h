// Values by position, asked for the first position from a given one on whose value lies in a
// range. Each question costs the logarithm of the count squared, so the snapping of a header's
// points stays fast when thousands of them share one run and end.
#pragma once

#include <cstddef>
#include <vector>

namespace vtl {

class FirstInRange {
public:
    static constexpr size_t npos = static_cast<size_t>(-1);

    explicit FirstInRange(const std::vector<double>& values);

    // The first position at or after from whose value v has low <= v <= high; npos if none.
    size_t find(size_t from, double low, double high) const;

private:
    std::vector<double> sorted_;              // the values in ascending order
    std::vector<std::vector<size_t>> nodes_;  // a segment tree over sorted_: positions, sorted
};

}  // namespace vtl
