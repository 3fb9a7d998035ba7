#include "core/library/sort.h"

#include <algorithm>
#include <numeric>

#include "core/text/compare.h"
#include "core/text/number.h"

namespace vx {
namespace {

enum class KeyRule { kNumeric, kText, kTime };

KeyRule RuleOf(int column) {
  switch (column) {
    case kColTitle:
    case kColNoter:
      return KeyRule::kText;
    case kColTime:
      return KeyRule::kTime;
    default:
      return KeyRule::kNumeric;
  }
}

bool IsSortable(int column) {
  return column >= kColId && column <= kColTime;
}

}  // namespace

std::vector<std::size_t> SortTable(SongTable& table, int column, bool ascending) {
  std::vector<std::size_t> order(table.Size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  if (!IsSortable(column)) return order;

  // Each comparison returns <0, 0, >0 for "a before b" in ascending order; descending flips the sign,
  // and stable_sort keeps equal keys in their current order either way.
  auto stableSortBy = [&](auto compare) {
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      const int c = compare(a, b);
      return ascending ? c < 0 : c > 0;
    });
  };
  switch (RuleOf(column)) {
    case KeyRule::kNumeric: {
      std::vector<std::int32_t> keys(table.Size());
      for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = AtoI(table.Cell(i, column));
      stableSortBy([&](std::size_t a, std::size_t b) { return (keys[a] > keys[b]) - (keys[a] < keys[b]); });
      break;
    }
    case KeyRule::kText:
      stableSortBy([&](std::size_t a, std::size_t b) {
        return CompareGbk(table.Cell(a, column), table.Cell(b, column));
      });
      break;
    case KeyRule::kTime:
      stableSortBy([&](std::size_t a, std::size_t b) {
        return CompareTimeText(table.Cell(a, column), table.Cell(b, column));
      });
      break;
  }
  table.Reorder(order);
  return order;
}

void ToggleTicksOfSelected(SongTable& table, std::span<const std::size_t> selectedRows) {
  std::size_t tickedAndSelected = 0;
  for (std::size_t row : selectedRows)
    if (row < table.Size() && table.IsTicked(row)) ++tickedAndSelected;
  const bool tick = tickedAndSelected != selectedRows.size();
  for (std::size_t row : selectedRows)
    if (row < table.Size()) table.SetTicked(row, tick);
}

HeaderClickResult OnHeaderClick(SongTable& table, int column, std::span<const std::size_t> selectedRows) {
  HeaderClickResult result;
  if (table.Empty()) return result;
  result.handled = true;
  if (column == kColTick) {
    ToggleTicksOfSelected(table, selectedRows);
    result.ticksChanged = !selectedRows.empty();
  } else if (IsSortable(column)) {
    result.order = SortTable(table, column, table.NextAscending(column));
    table.FlipNextAscending(column);
  }
  return result;
}

}  // namespace vx
