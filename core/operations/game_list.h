#pragma once
// The game's own song-list file (.dat or .SML, the same bytes): the ticked songs' chart headers and the
// status marks of those that carry one.

#include <string_view>
#include <vector>

#include "core/interaction.h"
#include "core/io/file_io.h"
#include "core/library/song_table.h"
#include "core/operations/outcome.h"

namespace vx {

inline constexpr std::size_t kStatusRecordSize = 16;

// The file for the ticked rows, in table order: N (int32 LE), N records of the first 300 bytes of each
// chart, M, and M status records (ID, 0, mark kind, one-week flag) for the ticked rows whose 状态 cell is
// not empty; 8 + 300·N + 16·M bytes. A chart that cannot be read, or is shorter than 300 bytes, still
// gets its full 300-byte record, zero-filled past what could be read, so the counts stay true; its ID
// goes into `unreadable` (when given).
Bytes BuildGameList(const SongTable& table, std::string_view gbkMusicDir,
                    std::vector<int>* unreadable = nullptr);

// "生成游戏歌曲列表": the checks, then the save dialog (.dat or .SML), then the file, replacing any file of
// that name. When some charts could not be read, one message after writing names their IDs.
Outcome OnGameList(const SongTable& table, std::string_view gbkSettingsPath, Interaction& ui);

}  // namespace vx
