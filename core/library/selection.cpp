#include "core/library/selection.h"

namespace vx {

std::optional<std::size_t> SoleSelectedRow(std::span<const std::size_t> selectedRows) {
  if (selectedRows.size() != 1) return std::nullopt;
  return selectedRows.front();
}

}  // namespace vx
