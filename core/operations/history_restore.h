#pragma once
// Taking a change back: a chart kept in the history goes back into its MUSIC folder.

#include <string>
#include <string_view>

#include "core/history/history.h"
#include "core/interaction.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"
#include "core/operations/outcome.h"

namespace vx {

// "2026-12-08 19:50:12 编号12 歌名(修改歌曲信息)", as a person is shown an entry (GBK).
std::string HistoryEntryLabelGbk(const HistoryEntry& entry);

// Puts the chart of `entry` back as the chart of its song, through RewriteFile. The chart it replaces is
// kept in the history first (unless the context has none), so a restore can itself be taken back. A
// renumber is taken back by giving the song its old ID again. The song's row, when the table has one, shows
// the restored chart and keeps its tick and 状态. A song no longer in the folder is not brought back:
// without its music it could not be played. Every refusal and failure is said; success says nothing.
// The entry's own MUSIC folder is held for the whole restore; the replaced chart is kept in `ctx.history`
// (none kept when it is null), while the entry itself is read from `history`.
OperationResult RestoreHistoryEntry(OperationContext& ctx, History& history, const HistoryEntry& entry);

// The history dialog's 恢复: `entry` restored after the OK/Cancel question Ctrl+Z asks.
OperationResult OnRestoreEntry(OperationContext& ctx, History& history, const HistoryEntry& entry);

// Whether `entry` can still be taken back: its song is where the entry left it (for a renumber, under the
// number it went to) and, when the entry knows it, is the same song.
bool CanTakeBack(const HistoryEntry& entry);

// Ctrl+Z: the newest change of the MUSIC folder named by the settings file that is not yet taken back,
// restored after an OK/Cancel question naming it; the restore's own entry says which one it took back.
// Ctrl+Y (OnRedoChange): the change the newest Ctrl+Z took back, put back again the same way. Entries
// that cannot be taken back are marked, named in one message and passed over; nothing left is said.
OperationResult OnUndoLastChange(OperationContext& ctx, History& history);
OperationResult OnRedoChange(OperationContext& ctx, History& history);

}  // namespace vx
