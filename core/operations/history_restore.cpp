#include "core/operations/history_restore.h"

#include "core/formats/chart_header.h"
#include "core/formats/song_files.h"
#include "core/io/file_rewrite.h"
#include "core/library/scan.h"
#include "core/operations/operation_support.h"
#include "core/operations/remove_songs.h"
#include "core/operations/song_numbers.h"
#include "core/settings/settings_file.h"

namespace vx {

std::string HistoryEntryLabelGbk(const HistoryEntry& entry) {
  return entry.time + " " + SongLabelGbk(entry.id, entry.title) + Gbk(msg::kHistoryLabelBefore) +
         Gbk(HistoryOperationLabel(entry.operation)) + Gbk(msg::kHistoryLabelAfter);
}

namespace {

// A kept chart goes back only onto the song it was kept from: the ID may since hold another song (a
// renumber, an install), whose music would then play under the old chart. Entries kept before songs were
// identified cannot be checked and are trusted as they always were.
bool IsTheKeptSong(const HistoryEntry& entry, int idNow, Interaction& ui) {
  if (!entry.song || IdentifySong(MusicPath(entry.musicDir, idNow)) == entry.song) return true;
  detail::SayWithLines(ui, msg::kRestoreOtherSong,
                       {Gbk(msg::kRestoreKeptLabel) + SongLabelGbk(entry.id, entry.title),
                        Gbk(msg::kRestoreNowLabel) + SongInFolderLabelGbk(entry.musicDir, idNow)});
  return false;
}

}  // namespace

OperationResult RestoreHistoryEntry(OperationContext& ctx, History& history, const HistoryEntry& entry) {
  OperationResult result;
  const auto ended = [&result](Outcome outcome) {
    result.outcome = outcome;
    return result;
  };
  // The entry names its own folder, which need not be the one the settings file names now.
  std::optional<LibraryLock> lock;
  if (!HoldFolder(ctx, entry.musicDir, lock, result)) return result;
  Interaction& ui = ctx.ui;
  History* const keep = ctx.history;
  if (entry.operation == HistoryOperation::kRenumber && entry.renumberedTo) {
    if (!IsTheKeptSong(entry, *entry.renumberedTo, ui)) return ended(Outcome::kRefused);
    OperationContext inEntryFolder{
        ctx.table, ctx.gbkSettingsPath, ui, keep, FolderSettings{entry.musicDir, {}, {}}, ctx.lockPatience};
    return RenumberSong(inEntryFolder, *entry.renumberedTo, entry.id);
  }

  const std::string path = ChartPath(entry.musicDir, entry.id);
  if (!FileSize(path)) {
    ui.ShowMessage(Gbk(msg::kRestoreSongGone) + SongLabelGbk(entry.id, entry.title), Gbk(msg::kAppTitle));
    return ended(Outcome::kRefused);
  }
  const auto kept = history.Chart(entry);
  if (!kept) {
    detail::SayWithLines(ui, msg::kRestoreEntryUnreadable, {entry.name});
    return ended(Outcome::kFailed);
  }
  // A chart cut short in the history would give the game a song it cannot read.
  if (kept->size() < kChartHeaderSize) {
    detail::SayWithLines(ui, msg::kRestoreEntryDamaged, {entry.name});
    return ended(Outcome::kRefused);
  }
  if (!IsTheKeptSong(entry, entry.id, ui)) return ended(Outcome::kRefused);
  History* keepHere = nullptr;
  if (!detail::ChooseHistory(ui, keep, path, keepHere)) return ended(Outcome::kCancelled);
  bool historyFailed = false;
  const RewriteStatus status = RewriteFile(path, [&](Bytes& chart) {
    if (keepHere && !keepHere->Record(entry.musicDir, entry.id, HistoryOperation::kRestore, chart)) {
      historyFailed = true;
      return false;
    }
    chart = *kept;
    return true;
  });
  if (status != RewriteStatus::kRewritten) {
    if (historyFailed)
      detail::SayWithLines(ui, msg::kHistoryNotWritten, {history.Folder()});
    else if (!detail::SayRewriteRefusal(status, path, ui))
      detail::Say(ui, msg::kChartNotWritten);
    return ended(historyFailed ? Outcome::kRefused : Outcome::kFailed);
  }
  SongTable& table = ctx.table;
  if (const auto row = table.FindId(entry.id)) {
    SongRow restored = MakeSongRow(entry.id, ParseChartHeader(*kept));
    restored.ticked = table.IsTicked(*row);
    restored.cells[kColStatus] = table.Cell(*row, kColStatus);
    table.SetRow(*row, std::move(restored));
    result.change.changedRows.push_back(*row);
  }
  return ended(Outcome::kDone);
}

bool CanTakeBack(const HistoryEntry& entry) {
  const int idNow =
      entry.operation == HistoryOperation::kRenumber && entry.renumberedTo ? *entry.renumberedTo : entry.id;
  if (!FileSize(ChartPath(entry.musicDir, idNow))) return false;
  return !entry.song || IdentifySong(MusicPath(entry.musicDir, idNow)) == entry.song;
}

OperationResult OnRestoreEntry(OperationContext& ctx, History& history, const HistoryEntry& entry) {
  OperationResult result;
  if (!ctx.ui.AskOkCancel(Gbk(msg::kRestoreQuestion) + HistoryEntryLabelGbk(entry), Gbk(msg::kAppTitle)))
    return Finished(result, Outcome::kCancelled);
  return RestoreHistoryEntry(ctx, history, entry);
}

namespace {

enum class Direction { kUndo, kRedo };

OperationResult StepThroughHistory(OperationContext& ctx, History& history, Direction direction) {
  OperationResult result;
  // No lock while the person is asked: RestoreHistoryEntry takes it for the entry's folder.
  const auto started = StartOperation(ctx, detail::kNeedMusic, {}, result);
  if (!started) return result;
  const std::string& musicDir = started->folders.musicDir;
  const bool undo = direction == Direction::kUndo;
  std::vector<std::string> passedLabels;
  std::optional<HistoryEntry> next;
  const UndoStacks stacks = WorkOutUndoStacks(history.Entries(musicDir));
  for (const HistoryEntry& entry : undo ? stacks.undo : stacks.redo) {
    if (CanTakeBack(entry)) {
      next = entry;
      break;
    }
    history.MarkPassedOver(entry);
    passedLabels.push_back(HistoryEntryLabelGbk(entry));
  }
  if (!passedLabels.empty()) detail::SayWithLines(ctx.ui, msg::kHistoryPassedOver, passedLabels);
  if (!next) {
    detail::Say(ctx.ui, undo ? (history.Entries(musicDir).empty() ? msg::kHistoryEmpty : msg::kNothingToUndo)
                             : msg::kNothingToRedo);
    return Finished(result, Outcome::kNothingTicked);
  }
  const std::string_view question = undo ? msg::kRestoreQuestion : msg::kRedoQuestion;
  if (!ctx.ui.AskOkCancel(Gbk(question) + HistoryEntryLabelGbk(*next), Gbk(msg::kAppTitle)))
    return Finished(result, Outcome::kCancelled);
  // The step keeps what it replaces, so it can itself be taken back, and its entry names the one it
  // stepped over, which is how the next Ctrl+Z or Ctrl+Y knows where it stands.
  OperationContext keeping{ctx.table, ctx.gbkSettingsPath, ctx.ui, &history, ctx.folders, ctx.lockPatience};
  if (undo)
    history.LinkNextRecord(next->name, {});
  else
    history.LinkNextRecord({}, next->name);
  result = RestoreHistoryEntry(keeping, history, *next);
  history.ClearLink();
  // A refusal means the entry can never go back (another song holds its number, its chart is damaged).
  if (result.outcome == Outcome::kRefused) history.MarkPassedOver(*next);
  return result;
}

}  // namespace

OperationResult OnUndoLastChange(OperationContext& ctx, History& history) {
  return StepThroughHistory(ctx, history, Direction::kUndo);
}

OperationResult OnRedoChange(OperationContext& ctx, History& history) {
  return StepThroughHistory(ctx, history, Direction::kRedo);
}

}  // namespace vx
