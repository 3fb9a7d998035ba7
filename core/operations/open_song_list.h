#pragma once
// Reopening a game song-list file onto the song table: the ticks come back from the chart records, the
// 状态 marks from the status records.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/formats/song_list_file.h"
#include "core/interaction.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"

namespace vx {

// What reopening a list did to the table.
struct SongListApplied {
  std::size_t ticked = 0;                     // rows ticked (a song listed twice counts once)
  std::size_t marked = 0;                     // 状态 cells set
  std::vector<std::string> missingTitles;     // GBK titles of the chart records that match no row
  std::vector<int> missingStatusIds;          // IDs of status records that name no row
  std::vector<std::optional<int>> recordIds;  // per chart record, in file order: the song it ticked
};

// Puts a list onto the scanned table: unticks every row and empties every 状态 cell, then ticks the row of
// each chart record and sets the mark of each status record's row.
// A chart record belongs to the row whose chart file begins with the same 300 bytes (a chart shorter than
// that compares as if zero-filled, as the list writer fills it); where none does, to the row with the same
// title and author (a chart that was edited or got a new cover since the list was written); where none
// has, or the record has no title, its title goes into `missingTitles`. Records that match by their bytes
// are placed before any is matched by name. Rows already claimed by an earlier record are passed over
// while another equal row is free, so two copies of one song under two IDs both come back.
// A status record names its row by song ID. Its mark is set whether or not a chart record ticked that
// row; the file's writer only marks listed songs, so a mark on an unticked row means the folder changed,
// and keeping the mark loses nothing. Each chart of the table is read once, through one folder handle.
SongListApplied ApplySongList(SongTable& table, std::string_view gbkMusicDir, const SongList& list);

// A list applied ticks and marks every row anew: `change.allRowsChanged`.
struct OpenSongListResult : OperationResult {
  std::optional<SongListApplied> applied;
};

// The open command: checks the settings file (silent end when it cannot be opened), the MUSIC folder
// ("请检查目录设置"), a non-empty table ("列表为空,请先扫描"), then asks for a .dat or .SML file. A file that
// cannot be read or is refused is reported with its path and leaves the table untouched. Otherwise the
// list is applied and one message sums it up: songs ticked, marks set, listed songs not in the folder.
OpenSongListResult OnOpenSongList(OperationContext& ctx);

}  // namespace vx
