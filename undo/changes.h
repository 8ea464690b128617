// A difference between two states of what the undo history watches: for each place that differs,
// its text before and after. A place is a grid's cell, a unit of a watched memory area (a cell of a
// ledger table) or a watched value (the memo's text, the entry state). Knows nothing about the
// ledger.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace undo {

struct Place {
    enum Source : uint8_t { Grid, Area, Value };
    Source From;
    uint16_t Index;  // which grid, area or value, in the order they are watched
    int32_t A;       // the cell's column, the unit's number
    int32_t B;       // the cell's row

    bool operator<(const Place& other) const
    {
        return std::tie(From, Index, A, B) < std::tie(other.From, other.Index, other.A, other.B);
    }
    bool operator==(const Place& other) const
    {
        return From == other.From && Index == other.Index && A == other.A && B == other.B;
    }
};

struct Change {
    Place Where;
    std::string Before;
    std::string After;
};

// Sorted by place, each place once.
using Changes = std::vector<Change>;

// `first` followed by `then`, as one difference: each place keeps its text before `first` changed
// it, and takes its text after `then` changed it. Places that end as they began stay listed.
Changes Merge(const Changes& first, const Changes& then);

// `later` was recorded from a state that `drift` has changed since, at the places of the drift.
// Each of those places that `later` changes now starts from the drifted text, and leaves `drift`:
// what is left of it concerns only the steps after `later`.
void Rebase(Changes& later, Changes& drift);

// The changes of `changes` at places that `other` does not change.
Changes Outside(const Changes& changes, const Changes& other);

// Drops the places whose text ends as it began.
void DropUnchanged(Changes& changes);

// The memory the difference takes, its texts' buffers included.
size_t MemoryOf(const Changes& changes);

} // namespace undo
