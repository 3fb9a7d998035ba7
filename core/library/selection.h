#pragma once
// What the highlighted rows of the song table mean for the editor and the cover preview. The window owns
// the highlight and hands its row positions in; these decide which row, if any, a click or key is about.

#include <cstddef>
#include <optional>
#include <span>

namespace vx {

// The row a click loads into the editor and previews: only when exactly one row is highlighted. With
// none or several the editor and the cover stay as they were.
std::optional<std::size_t> SoleSelectedRow(std::span<const std::size_t> selectedRows);

enum class ArrowKey { kUp, kDown };

// The row whose cover an arrow key shows. The key arrives before the highlight moves, so this is the
// neighbour of the first highlighted row in table order: Up has nothing above row 0 and nothing without a
// highlight; Down starts from row 0 when nothing is highlighted and has nothing below the last row.
std::optional<std::size_t> CoverRowForArrowKey(ArrowKey key, std::span<const std::size_t> selectedRows,
                                               std::size_t rowCount);

}  // namespace vx
