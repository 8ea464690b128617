#include "undo/changes.h"

#include <algorithm>

namespace undo {

Changes Merge(const Changes& first, const Changes& then)
{
    Changes merged;
    merged.reserve(first.size() + then.size());
    auto a = first.begin();
    auto b = then.begin();
    while (a != first.end() || b != then.end()) {
        if (b == then.end() || (a != first.end() && a->Where < b->Where))
            merged.push_back(*a++);
        else if (a == first.end() || b->Where < a->Where)
            merged.push_back(*b++);
        else
            merged.push_back({ a->Where, (a++)->Before, (b++)->After });
    }
    return merged;
}

void Rebase(Changes& later, Changes& drift)
{
    Changes left;
    auto step = later.begin();
    for (Change& drifted : drift) {
        step = std::lower_bound(step, later.end(), drifted.Where,
            [](const Change& change, const Place& place) { return change.Where < place; });
        if (step != later.end() && step->Where == drifted.Where)
            step->Before = std::move(drifted.After);
        else
            left.push_back(std::move(drifted));
    }
    drift = std::move(left);
}

Changes Outside(const Changes& changes, const Changes& other)
{
    Changes outside;
    auto it = other.begin();
    for (const Change& change : changes) {
        it = std::lower_bound(it, other.end(), change.Where,
            [](const Change& candidate, const Place& place) { return candidate.Where < place; });
        if (it == other.end() || !(it->Where == change.Where))
            outside.push_back(change);
    }
    return outside;
}

void DropUnchanged(Changes& changes)
{
    changes.erase(std::remove_if(changes.begin(), changes.end(),
                      [](const Change& change) { return change.Before == change.After; }),
        changes.end());
}

size_t MemoryOf(const Changes& changes)
{
    // A text longer than the string's own buffer lives in a block of its own.
    static const size_t inPlace = std::string().capacity();
    auto heap = [](const std::string& text) { return text.capacity() > inPlace ? text.capacity() + 1 : 0; };
    size_t bytes = changes.capacity() * sizeof(Change);
    for (const Change& change : changes)
        bytes += heap(change.Before) + heap(change.After);
    return bytes;
}

} // namespace undo
