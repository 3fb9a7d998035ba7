#pragma once
// Saving a song's title and levels into its chart file and its row.

#include <optional>
#include <string>

#include "interaction.h"
#include "library/song_table.h"

namespace vx {

// The song whose texts were loaded into the editor. The save goes to this song, wherever its row stands
// now, never to whatever row has taken its old position.
struct SongEditTarget {
  int songId = -1;
  std::string musicDir;  // GBK, the MUSIC folder as read when the row was loaded
};

// The editor's texts as typed, in UTF-8 (they come straight from the keyboard or the command line). The
// level texts are read the way atoi does and stored modulo 65536.
struct SongEdits {
  std::string title;
  std::string easy;
  std::string normal;
  std::string hard;
};

enum class SaveOutcome {
  kEmptyTable,     // "列表为空,请先扫描"
  kCancelled,      // the person said Cancel
  kNoTarget,       // "请先选定一首歌"
  kSongGone,       // the loaded song has no row any more
  kBadTitle,       // too long for the field, or a character GBK lacks
  kChartTooShort,  // the chart cannot hold the fields without growing
  kNotWritten,     // the chart could not be opened or replaced: nothing changed
  kSaved,          // "OK": the chart and the row hold the new texts
};

// The save button: checks, asks "确定修改吗?", writes the chart (through a temporary file renamed over
// it, so only the 38 bytes of the fields change and a crash never leaves half a chart), then updates the
// target's row (title as GBK, levels as typed). Every refusal says why, except an unreadable chart,
// which ends silently as an unopenable file always does.
SaveOutcome OnSaveSong(SongTable& table, const std::optional<SongEditTarget>& target, const SongEdits& edits,
                       Interaction& ui, bool askFirst = true);

}  // namespace vx
