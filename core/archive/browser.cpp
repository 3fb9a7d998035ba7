#include "core/archive/browser.h"

#include <algorithm>

namespace vx {

std::optional<std::size_t> EntryRowForArrowKey(ArrowKey key, std::span<const std::size_t> selectedRows,
                                               std::size_t rowCount) {
  if (rowCount == 0) return std::nullopt;
  const auto row = SoleSelectedRow(selectedRows);
  if (key == ArrowKey::kUp) {
    if (!row || *row == 0 || *row >= rowCount) return std::nullopt;
    return *row - 1;
  }
  if (!row) return std::size_t{0};
  if (*row + 1 >= rowCount) return std::nullopt;
  return *row + 1;
}

PreviewSize PreviewDrawSize(PreviewSize picture, PreviewSize client) {
  return {std::clamp(picture.width, 0, std::max(client.width, 0)),
          std::clamp(picture.height, 0, std::max(client.height, 0))};
}

}  // namespace vx
