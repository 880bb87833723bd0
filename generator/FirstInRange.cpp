#include "FirstInRange.h"

#include <algorithm>
#include <numeric>

namespace vtl {

FirstInRange::FirstInRange(const std::vector<double>& values) {
    const size_t n = values.size();
    std::vector<size_t> order(n);
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return values[a] < values[b]; });
    sorted_.reserve(n);
    for (size_t position : order) sorted_.push_back(values[position]);
    // Leaves at n + k hold the position of the k-th smallest value; each inner node the
    // positions of its two children, merged.
    nodes_.resize(2 * n);
    for (size_t k = 0; k < n; ++k) nodes_[n + k] = {order[k]};
    for (size_t k = n - 1; k >= 1 && n > 1; --k) {
        const auto& left = nodes_[2 * k];
        const auto& right = nodes_[2 * k + 1];
        nodes_[k].resize(left.size() + right.size());
        std::merge(left.begin(), left.end(), right.begin(), right.end(), nodes_[k].begin());
    }
}

size_t FirstInRange::find(size_t from, double low, double high) const {
    const size_t n = sorted_.size();
    size_t l = static_cast<size_t>(std::lower_bound(sorted_.begin(), sorted_.end(), low) -
                                   sorted_.begin()) + n;
    size_t r = static_cast<size_t>(std::upper_bound(sorted_.begin(), sorted_.end(), high) -
                                   sorted_.begin()) + n;
    size_t best = npos;
    auto take = [&](const std::vector<size_t>& positions) {
        auto it = std::lower_bound(positions.begin(), positions.end(), from);
        if (it != positions.end()) best = std::min(best, *it);
    };
    for (; l < r; l /= 2, r /= 2) {
        if (l & 1) take(nodes_[l++]);
        if (r & 1) take(nodes_[--r]);
    }
    return best;
}

}  // namespace vtl
