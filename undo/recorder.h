// What the undo history watches, and how it finds and writes back differences: grids, whose cells
// tell themselves what changed; memory areas of fixed-size units, such as the ledger tables,
// compared with a copy; and values read and written through functions (a memo's text, the entry
// state), compared with their last reading. Knows nothing about the ledger.
#pragma once

#include "undo/changes.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace toolkit {
class StringGrid;
}

namespace undo {

class Recorder {
public:
    // What a watched place is to the history.
    enum class Part {
        Content,  // what the user enters and confirms, and what follows from it
        Working,  // a copy on screen to work on, such as a list not yet confirmed: typing into it is a
                  // step, putting it on screen is none
        Cursor,   // where the user is: the cell typed into, the text typed so far. Before the first
                  // step it is where the user starts from, and undoing the first step leaves it
        Kept,     // what belongs to the data as a whole, such as the file it is saved to: only the steps
                  // that change it themselves take it back
    };

    void WatchGrid(toolkit::StringGrid& grid, Part part);
    void WatchArea(void* data, size_t size, size_t unit, Part part);
    void WatchValue(std::function<std::string()> read, std::function<void(const std::string&)> write, Part part);

    // What changed since the last Collect, Apply or Resync (since watching began, at first), sorted
    // by place.
    Changes Collect();
    // The state as it is now is where the next differences count from, without working out the
    // differences to it: a whole month loaded differs in every cell.
    void Resync();
    // Writes back the text each place had before the changes, or after them.
    enum class Side { Before, After };
    void Apply(const Changes& changes, Side side);

    Part PartOf(const Place& place) const;
    bool ChangesContent(const Changes& changes) const;

    toolkit::StringGrid& GridAt(int index) const { return *grids_[index].Grid; }

private:
    struct WatchedGrid {
        toolkit::StringGrid* Grid;
        Part Of;
    };
    struct WatchedArea {
        unsigned char* Data;
        size_t Size;
        size_t Unit;
        std::unique_ptr<unsigned char[]> Copy;
        Part Of;
    };
    struct WatchedValue {
        std::function<std::string()> Read;
        std::function<void(const std::string&)> Write;
        std::string Last;
        Part Of;
    };

    std::vector<WatchedGrid> grids_;
    std::vector<WatchedArea> areas_;
    std::vector<WatchedValue> values_;
};

} // namespace undo
