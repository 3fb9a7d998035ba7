#pragma once
// Header clicks on the song table: tick toggle on 选中, a stable sort on the eight data columns, nothing
// on 状态.

#include <cstddef>
#include <span>
#include <vector>

#include "core/library/song_table.h"

namespace vx {

// Sorts by a data column (1 to 8) and returns the new order: order[newPosition] = oldPosition, so the
// caller can carry its own per-row state (the highlight) along. Rows with equal keys keep their order.
std::vector<std::size_t> SortTable(SongTable& table, int column, bool ascending);

// Ticks every selected row, or unticks them all when every selected row is already ticked.
void ToggleTicksOfSelected(SongTable& table, std::span<const std::size_t> selectedRows);

struct HeaderClickResult {
  bool handled = false;  // false only for an empty table: nothing at all happens then
  bool ticksChanged = false;
  std::vector<std::size_t> order;  // set when the click sorted
};

// What a click on the header of `column` does, given the highlighted rows (positions).
HeaderClickResult OnHeaderClick(SongTable& table, int column, std::span<const std::size_t> selectedRows);

}  // namespace vx
