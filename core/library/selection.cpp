#include "core/library/selection.h"

#include <algorithm>

namespace vx {

std::optional<std::size_t> SoleSelectedRow(std::span<const std::size_t> selectedRows) {
  if (selectedRows.size() != 1) return std::nullopt;
  return selectedRows.front();
}

std::optional<std::size_t> CoverRowForArrowKey(ArrowKey key, std::span<const std::size_t> selectedRows,
                                               std::size_t rowCount) {
  if (rowCount == 0) return std::nullopt;
  // The caller may hand the highlight in any order; table order is what counts.
  const auto first =
      selectedRows.empty()
          ? std::optional<std::size_t>{}
          : std::optional<std::size_t>{*std::min_element(selectedRows.begin(), selectedRows.end())};
  if (key == ArrowKey::kUp) {
    if (!first || *first == 0) return std::nullopt;
    return *first - 1;
  }
  const std::size_t from = first.value_or(0);
  if (from + 1 >= rowCount) return std::nullopt;
  return from + 1;
}

}  // namespace vx
