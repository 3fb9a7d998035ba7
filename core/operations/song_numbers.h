#pragma once
// Song IDs as the MUSIC folder uses them, and giving a song another one.

#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/history/history.h"
#include "core/interaction.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"
#include "core/operations/outcome.h"

namespace vx {

using TakenIds = std::bitset<kMaxSongs>;

// The IDs that have a chart or a music file in the folder, as the game names them. An ID with only one of
// its two files is taken too: a song put there would meet the other one.
TakenIds TakenIdsIn(std::string_view gbkMusicDir);

// The lowest ID not taken; empty when all 5000 are.
std::optional<int> LowestFreeId(const TakenIds& taken);

// "编号12 歌名" for a song of the folder: its title from its chart, else the name of the file that holds
// the ID (a music file without its chart). GBK.
std::string SongInFolderLabelGbk(std::string_view gbkMusicDir, int id);

// Gives song `from` the ID `to`: its chart and its music file are renamed, both or neither (a failure on the
// second renames the first back). `to` must be 0..4999 and free, `from` must have a chart. Before the chart
// leaves its name it is kept in `history` (when given); a history that cannot be written stops it. The row of
// `from` then shows `to`. Every refusal and failure is said; success says nothing.
// The folder is the context's MUSIC folder, held for the whole renumber.
OperationResult RenumberSong(OperationContext& ctx, int from, int to);

// "修改编号": the one selected row ("请先选定一首歌" otherwise), the folder checks, then a number asked with
// the lowest free ID proposed (a taken one is refused in the question, naming the song there), then
// RenumberSong. Cancelling the question changes nothing.
struct RenumberResult : OperationResult {
  int from = -1;  // the song's ID before, and the one asked for, once the question was answered
  int to = -1;
};
RenumberResult OnRenumber(OperationContext& ctx, const std::vector<std::size_t>& selectedRows);

}  // namespace vx
