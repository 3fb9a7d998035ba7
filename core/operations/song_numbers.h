#pragma once
// Song IDs as the MUSIC folder uses them, and giving a song another one.

#include <bitset>
#include <optional>
#include <string>
#include <string_view>

#include "core/history/history.h"
#include "core/interaction.h"
#include "core/library/song_table.h"
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
Outcome RenumberSong(SongTable& table, std::string_view gbkMusicDir, int from, int to, Interaction& ui,
                     History* history);

}  // namespace vx
