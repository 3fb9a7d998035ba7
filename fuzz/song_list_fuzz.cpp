// Any bytes as a game song-list file: the strict read, the refusal text, and putting an accepted list
// onto a table (with a folder that does not exist, so every chart is matched by the table's cells).
#include <cstddef>
#include <cstdint>
#include <span>
#include <variant>

#include "core/formats/chart_header.h"
#include "core/library/scan.h"
#include "core/operations/open_song_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto read = vx::ReadSongList(std::span<const std::uint8_t>(data, size));
  if (const auto* error = std::get_if<vx::SongListError>(&read)) {
    if (error->offset > size && error->kind != vx::SongListError::kTooLarge) __builtin_trap();
    (void)vx::SongListErrorTextGbk(*error);
    return 0;
  }
  const vx::SongList& list = std::get<vx::SongList>(read);
  // Accepted means the lengths add up exactly.
  if (8 + list.charts.size() * vx::song_list::kChartRecordSize +
          list.statuses.size() * vx::song_list::kStatusRecordSize !=
      size)
    __builtin_trap();
  vx::SongTable table;
  for (std::size_t i = 0; i < list.charts.size() && i < 8; ++i)
    table.Append(vx::MakeSongRow(static_cast<int>(i), vx::ParseChartHeader(list.charts[i])));
  const vx::SongListApplied applied = vx::ApplySongList(table, "/nonexistent-vx-fuzz", list);
  if (applied.ticked > table.Size() || applied.marked > list.statuses.size() ||
      applied.recordIds.size() != list.charts.size())
    __builtin_trap();
  return 0;
}
