#include "undo/recorder.h"

#include "toolkit/stringgrid.h"

#include <algorithm>
#include <cstring>

namespace undo {

namespace {

// An area is compared a block of units at a time; only a block that differs is looked at unit by
// unit. A whole month of tables is compared in a few tens of microseconds.
constexpr size_t UnitsPerBlock = 64;

} // namespace

void Recorder::WatchGrid(toolkit::StringGrid& grid, Part part)
{
    grid.TakeChangedCells();
    grids_.push_back({ &grid, part });
}

void Recorder::WatchArea(void* data, size_t size, size_t unit, Part part)
{
    WatchedArea area { static_cast<unsigned char*>(data), size, unit, std::make_unique<unsigned char[]>(size), part };
    std::memcpy(area.Copy.get(), area.Data, size);
    areas_.push_back(std::move(area));
}

void Recorder::WatchValue(std::function<std::string()> read, std::function<void(const std::string&)> write, Part part)
{
    std::string now = read();
    values_.push_back({ std::move(read), std::move(write), std::move(now), part });
}

Changes Recorder::Collect()
{
    Changes changes;
    for (size_t index = 0; index < grids_.size(); ++index) {
        toolkit::StringGrid& grid = *grids_[index].Grid;
        size_t first = changes.size();
        for (auto& cell : grid.TakeChangedCells()) {
            const std::string& now = grid.Cell(cell.Col, cell.Row);
            if (now != cell.Before)
                changes.push_back(
                    { { Place::Grid, uint16_t(index), cell.Col, cell.Row }, std::move(cell.Before), now });
        }
        std::sort(changes.begin() + first, changes.end(),
            [](const Change& a, const Change& b) { return a.Where < b.Where; });
    }
    for (size_t index = 0; index < areas_.size(); ++index) {
        WatchedArea& area = areas_[index];
        size_t blockBytes = area.Unit * UnitsPerBlock;
        for (size_t block = 0; block < area.Size; block += blockBytes) {
            size_t end = std::min(block + blockBytes, area.Size);
            if (std::memcmp(area.Data + block, area.Copy.get() + block, end - block) == 0)
                continue;
            for (size_t offset = block; offset < end; offset += area.Unit) {
                unsigned char* now = area.Data + offset;
                unsigned char* was = area.Copy.get() + offset;
                if (std::memcmp(now, was, area.Unit) == 0)
                    continue;
                changes.push_back({ { Place::Area, uint16_t(index), int32_t(offset / area.Unit), 0 },
                    std::string(reinterpret_cast<char*>(was), area.Unit),
                    std::string(reinterpret_cast<char*>(now), area.Unit) });
                std::memcpy(was, now, area.Unit);
            }
        }
    }
    for (size_t index = 0; index < values_.size(); ++index) {
        WatchedValue& value = values_[index];
        std::string now = value.Read();
        if (now == value.Last)
            continue;
        changes.push_back({ { Place::Value, uint16_t(index), 0, 0 }, std::move(value.Last), now });
        value.Last = std::move(now);
    }
    return changes;
}

void Recorder::Resync()
{
    for (WatchedGrid& grid : grids_)
        grid.Grid->TakeChangedCells();
    for (WatchedArea& area : areas_)
        std::memcpy(area.Copy.get(), area.Data, area.Size);
    for (WatchedValue& value : values_)
        value.Last = value.Read();
}

void Recorder::Apply(const Changes& changes, Side side)
{
    for (const Change& change : changes) {
        const std::string& text = side == Side::Before ? change.Before : change.After;
        const Place& place = change.Where;
        switch (place.From) {
        case Place::Grid:
            grids_[place.Index].Grid->SetCell(place.A, place.B, text);
            break;
        case Place::Area: {
            WatchedArea& area = areas_[place.Index];
            size_t offset = size_t(place.A) * area.Unit;
            std::memcpy(area.Data + offset, text.data(), area.Unit);
            std::memcpy(area.Copy.get() + offset, text.data(), area.Unit);
            break;
        }
        case Place::Value:
            values_[place.Index].Write(text);
            break;
        }
    }
    // What was written is the state from which the next differences count.
    for (WatchedGrid& grid : grids_)
        grid.Grid->TakeChangedCells();
    for (WatchedValue& value : values_)
        value.Last = value.Read();
}

Recorder::Part Recorder::PartOf(const Place& place) const
{
    switch (place.From) {
    case Place::Grid:
        return grids_[place.Index].Of;
    case Place::Area:
        return areas_[place.Index].Of;
    case Place::Value:
        return values_[place.Index].Of;
    }
    return Part::Content;
}

bool Recorder::ChangesContent(const Changes& changes) const
{
    return std::any_of(
        changes.begin(), changes.end(), [this](const Change& change) { return PartOf(change.Where) == Part::Content; });
}

} // namespace undo
