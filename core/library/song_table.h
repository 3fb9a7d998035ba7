#pragma once
// The song table: the working data of the whole library. Rows in display order, each a tick flag and ten
// cell texts (GBK). Every operation walks these rows; the window only shows them.

#include <array>
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/formats/song_files.h"  // kMaxSongs

namespace vx {

enum Column : int {
  kColTick = 0,  // carries the check box; its text stays empty
  kColId,
  kColTitle,
  kColEasy,
  kColNormal,
  kColHard,
  kColNoter,
  kColBpm,
  kColTime,
  kColStatus,
  kColumnCount
};

struct ColumnInfo {
  std::string_view header;  // UTF-8, as shown
  int widthPx;
};

inline constexpr std::array<ColumnInfo, kColumnCount> kColumns = {{
    {"选中", 40},
    {"编号", 40},
    {"歌曲名字", 140},
    {"简单", 40},
    {"普通", 40},
    {"困难", 40},
    {"NOTER", 95},
    {"BPM", 60},
    {"时间", 45},
    {"状态", 80},
}};

struct SongRow {
  bool ticked = false;
  std::array<std::string, kColumnCount> cells;

  // The song ID is the 编号 text read as a number.
  int Id() const;
};

class SongTable {
 public:
  std::size_t Size() const { return m_rows.size(); }
  bool Empty() const { return m_rows.empty(); }
  const SongRow& Row(std::size_t i) const { return m_rows[i]; }
  const std::string& Cell(std::size_t row, int column) const { return m_rows[row].cells[column]; }

  void Append(SongRow row) { m_rows.push_back(std::move(row)); }
  void SetRow(std::size_t i, SongRow row) { m_rows[i] = std::move(row); }
  void Assign(std::vector<SongRow> rows) { m_rows = std::move(rows); }
  void Clear() { m_rows.clear(); }
  void RemoveRow(std::size_t i) { m_rows.erase(m_rows.begin() + static_cast<std::ptrdiff_t>(i)); }
  // Rows [first, first + count): one shift of the rows below instead of one per row.
  void RemoveRows(std::size_t first, std::size_t count) {
    const auto from = m_rows.begin() + static_cast<std::ptrdiff_t>(first);
    m_rows.erase(from, from + static_cast<std::ptrdiff_t>(count));
  }
  // The rows at these positions (strictly ascending, each below Size()), in one pass over the table
  // however scattered they are.
  void RemovePositions(std::span<const std::size_t> ascending);

  bool IsTicked(std::size_t i) const { return m_rows[i].ticked; }
  void SetTicked(std::size_t i, bool ticked) { m_rows[i].ticked = ticked; }
  void SetCell(std::size_t row, int column, std::string text) { m_rows[row].cells[column] = std::move(text); }

  // Select-all: ticks or unticks every row.
  void SetAllTicked(bool ticked);
  std::size_t TickedCount() const;
  std::vector<std::size_t> TickedRows() const;
  // Position of the row whose 编号 is `id`, if there is one.
  std::optional<std::size_t> FindId(int id) const;

  // Puts the rows in the order given: order[newPosition] = oldPosition. A permutation of 0..Size()-1.
  void Reorder(std::span<const std::size_t> order);

  // Per sortable column: false until the column has been sorted once, so the first click sorts it from
  // the largest value down. A new scan leaves these as they are.
  bool NextAscending(int column) const { return m_nextAscending[column]; }
  void FlipNextAscending(int column) { m_nextAscending[column] = !m_nextAscending[column]; }

 private:
  std::vector<SongRow> m_rows;
  std::array<bool, kColumnCount> m_nextAscending{};
};

// Estimated size in KB of the game song list for the ticked rows: 300 bytes a song, rounded down.
int ListSizeKB(const SongTable& table);

// The figure is drawn red above this many KB, blue up to it.
inline constexpr int kListSizeWarnKB = 200;

}  // namespace vx
