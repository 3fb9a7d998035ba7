#include "core/library/song_table.h"

#include <algorithm>

#include "core/text/number.h"

namespace vx {

int SongRow::Id() const {
  return AtoI(cells[kColId]);
}

void SongTable::SetAllTicked(bool ticked) {
  for (auto& row : m_rows) row.ticked = ticked;
}

std::size_t SongTable::TickedCount() const {
  return static_cast<std::size_t>(
      std::count_if(m_rows.begin(), m_rows.end(), [](const SongRow& r) { return r.ticked; }));
}

std::vector<std::size_t> SongTable::TickedRows() const {
  std::vector<std::size_t> rows;
  for (std::size_t i = 0; i < m_rows.size(); ++i)
    if (m_rows[i].ticked) rows.push_back(i);
  return rows;
}

std::optional<std::size_t> SongTable::FindId(int id) const {
  for (std::size_t i = 0; i < m_rows.size(); ++i)
    if (m_rows[i].Id() == id) return i;
  return std::nullopt;
}

void SongTable::RemovePositions(std::span<const std::size_t> ascending) {
  std::size_t next = 0;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < m_rows.size(); ++i) {
    if (next < ascending.size() && ascending[next] == i) {
      ++next;
      continue;
    }
    if (kept != i) m_rows[kept] = std::move(m_rows[i]);
    ++kept;
  }
  m_rows.resize(kept);
}

void SongTable::Reorder(std::span<const std::size_t> order) {
  std::vector<SongRow> rows;
  rows.reserve(m_rows.size());
  for (std::size_t old : order) rows.push_back(std::move(m_rows[old]));
  m_rows = std::move(rows);
}

int ListSizeKB(const SongTable& table) {
  if (table.Empty()) return 0;
  const auto n = static_cast<long long>(table.TickedCount());
  return static_cast<int>((300 * n + 32) / 1024);
}

}  // namespace vx
