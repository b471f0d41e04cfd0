// The entries of one object list that the selection holds: list indices, sorted, each
// once.
#pragma once

#include <algorithm>
#include <vector>

namespace vexa {

class MarkedIndices {
public:
    const std::vector<int>& indices() const { return marked; }
    bool empty() const { return marked.empty(); }
    int size() const { return static_cast<int>(marked.size()); }
    bool contains(int index) const { return std::binary_search(marked.begin(), marked.end(), index); }
    // The one index held, or -1 while none or several are.
    int single() const { return marked.size() == 1 ? marked.front() : -1; }

    void clear() { marked.clear(); }
    // Only `index`; a negative index clears.
    void only(int index) {
        marked.clear();
        if (index >= 0) marked.push_back(index);
    }
    void assign(std::vector<int> indices) {
        std::erase_if(indices, [](int index) { return index < 0; });
        std::sort(indices.begin(), indices.end());
        indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
        marked = std::move(indices);
    }
    void add(const std::vector<int>& indices) {
        std::vector<int> all = marked;
        all.insert(all.end(), indices.begin(), indices.end());
        assign(std::move(all));
    }
    // Takes `index` out when held, puts it in when not.
    void toggle(int index) {
        if (index < 0) return;
        const auto at = std::lower_bound(marked.begin(), marked.end(), index);
        if (at != marked.end() && *at == index)
            marked.erase(at);
        else
            marked.insert(at, index);
    }

private:
    std::vector<int> marked;
};

} // namespace vexa
