#pragma once
// What the highlighted rows of the song table mean for the editor and the cover preview. The window owns
// the highlight and hands its row positions in; this decides which row, if any, a click or key is about.

#include <cstddef>
#include <optional>
#include <span>

namespace vx {

// The row a click or a key loads into the editor and previews: only when exactly one row is highlighted.
// With none or several the editor stays as it was.
std::optional<std::size_t> SoleSelectedRow(std::span<const std::size_t> selectedRows);

enum class ArrowKey { kUp, kDown };

}  // namespace vx
