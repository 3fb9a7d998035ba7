#pragma once
// The game's own song-list file (.dat or .SML, the same bytes): the ticked songs' chart headers and the
// status marks of those that carry one.

#include <string>
#include <string_view>
#include <vector>

#include "core/interaction.h"
#include "core/io/file_io.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"
#include "core/operations/outcome.h"

namespace vx {

// The song-list file (core/formats/song_list_file.h) for the ticked rows, in table order: the first 300
// bytes of each chart, then a status record for each ticked row whose 状态 cell holds a mark. A chart that
// cannot be read, or is shorter than 300 bytes, still gets its full 300-byte record, zero-filled past what
// could be read, so the counts stay true; its ID goes into `unreadable` (when given).
Bytes BuildGameList(const SongTable& table, std::string_view gbkMusicDir,
                    std::vector<int>* unreadable = nullptr);

// "生成游戏歌曲列表": the checks, then the save dialog (.dat or .SML), then the file, replacing any file of
// that name. When some charts could not be read, one message after writing names their IDs.
struct GameListResult : OperationResult {
  std::string path;  // GBK, the file written
};
GameListResult OnGameList(OperationContext& ctx);

}  // namespace vx
