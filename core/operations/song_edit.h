#pragma once
// Saving a song's title and levels into its chart file and its row.

#include <optional>
#include <string>

#include "core/history/history.h"
#include "core/interaction.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"

namespace vx {

// The song whose texts were loaded into the editor. The save goes to this song, wherever its row stands
// now, never to whatever row has taken its old position.
struct SongEditTarget {
  int songId = -1;
  std::string musicDir;  // GBK, the MUSIC folder as read when the row was loaded
};

// The editor's texts as typed, in UTF-8 (they come straight from the keyboard or the command line). The
// level texts are read the way atoi does; a value outside 0..65535 is refused.
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
  kBadInput,       // a title too long for its field, with a character GBK lacks or a control character, or
                   // a level outside 0..65535; refused before the question
  kChartTooShort,  // the chart cannot hold the fields without growing
  kBusy,           // another program is changing the song's MUSIC folder; nothing changed
  kNotWritten,     // the chart is missing, read-only, not the person's to write, locked, or could not be
                   // replaced: nothing changed
  kSaved,          // "OK": the chart and the row hold the new texts
};

// The save button: says "请先选定一首歌" when no song is loaded, checks the typed texts, asks
// "确定修改编号64 歌名吗?", writes the chart (RewriteFile: under a lock,
// through a temporary file renamed over it, so only the 38 bytes of the fields change, a crash never
// leaves half a chart and a rewrite by another organizer at the same time is never lost), then updates the
// target's row (title as GBK, levels as typed). Every refusal says why, except a missing chart, which ends
// silently as an unopenable file always does.
// The chart as it was is kept in `history` first, when one is given; a history that cannot be written stops
// the save before anything changes.
// The save holds the lock of the target's MUSIC folder (the one the row was loaded from) while it writes.
struct SaveResult : OperationResult {
  SaveOutcome saved = SaveOutcome::kEmptyTable;
};
SaveResult OnSaveSong(OperationContext& ctx, const std::optional<SongEditTarget>& target,
                      const SongEdits& edits, bool askFirst = true);

}  // namespace vx
