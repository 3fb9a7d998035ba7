#pragma once
// What the archive browser's clicks, keys and preview mean. The window owns the list's highlight and the
// preview frame and hands their state in; these decide which row an event is about and where a frame is
// drawn.

#include <cstddef>
#include <optional>
#include <span>

#include "core/library/selection.h"

namespace vx {

// The row a click previews: only when exactly one row is highlighted (SoleSelectedRow). An arrow key
// arrives before the highlight moves and previews the neighbour of that one row: Up has nothing above row
// 0, Down nothing below the last row. Without a single highlighted row (none, or several) Down previews
// row 0 and Up nothing.
std::optional<std::size_t> EntryRowForArrowKey(ArrowKey key, std::span<const std::size_t> selectedRows,
                                               std::size_t rowCount);

struct PreviewSize {
  int width;
  int height;

  friend bool operator==(const PreviewSize&, const PreviewSize&) = default;
};

// The rectangle, from the top-left corner of the preview's client area, that a frame is stretched into:
// each axis is clamped to the client area by itself. A smaller frame keeps its own size; a larger one is
// squeezed to the frame without keeping its proportions.
PreviewSize PreviewDrawSize(PreviewSize picture, PreviewSize client);

}  // namespace vx
