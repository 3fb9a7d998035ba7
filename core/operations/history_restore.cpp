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

Outcome RestoreHistoryEntry(SongTable& table, History& history, const HistoryEntry& entry, Interaction& ui,
                            bool keepReplaced) {
  History* keep = keepReplaced ? &history : nullptr;
  if (entry.operation == HistoryOperation::kRenumber && entry.renumberedTo) {
    if (!IsTheKeptSong(entry, *entry.renumberedTo, ui)) return Outcome::kRefused;
    return RenumberSong(table, entry.musicDir, *entry.renumberedTo, entry.id, ui, keep);
  }

  const std::string path = ChartPath(entry.musicDir, entry.id);
  if (!FileSize(path)) {
    ui.ShowMessage(Gbk(msg::kRestoreSongGone) + SongLabelGbk(entry.id, entry.title), Gbk(msg::kAppTitle));
    return Outcome::kRefused;
  }
  const auto kept = history.Chart(entry);
  if (!kept) {
    detail::SayWithLines(ui, msg::kRestoreEntryUnreadable, {entry.name});
    return Outcome::kFailed;
  }
  // A chart cut short in the history would give the game a song it cannot read.
  if (kept->size() < kChartHeaderSize) {
    detail::SayWithLines(ui, msg::kRestoreEntryDamaged, {entry.name});
    return Outcome::kRefused;
  }
  if (!IsTheKeptSong(entry, entry.id, ui)) return Outcome::kRefused;
  bool historyFailed = false;
  const RewriteStatus status = RewriteFile(path, [&](Bytes& chart) {
    if (keep && !keep->Record(entry.musicDir, entry.id, HistoryOperation::kRestore, chart)) {
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
    return historyFailed ? Outcome::kRefused : Outcome::kFailed;
  }
  if (const auto row = table.FindId(entry.id)) {
    SongRow restored = MakeSongRow(entry.id, ParseChartHeader(*kept));
    restored.ticked = table.IsTicked(*row);
    restored.cells[kColStatus] = table.Cell(*row, kColStatus);
    table.SetRow(*row, std::move(restored));
  }
  return Outcome::kDone;
}

Outcome OnUndoLastChange(SongTable& table, std::string_view gbkSettingsPath, History& history,
                         Interaction& ui) {
  const auto musicDir = ReadFolder(gbkSettingsPath, FolderSlot::kMusic);
  if (!musicDir) return Outcome::kNoSettings;
  if (musicDir->empty()) {
    detail::Say(ui, msg::kCheckFolders);
    return Outcome::kNoFolder;
  }
  const std::vector<HistoryEntry> entries = history.Entries(*musicDir);
  if (entries.empty()) {
    detail::Say(ui, msg::kHistoryEmpty);
    return Outcome::kNothingTicked;
  }
  if (!ui.AskOkCancel(Gbk(msg::kRestoreQuestion) + HistoryEntryLabelGbk(entries.front()),
                      Gbk(msg::kAppTitle)))
    return Outcome::kCancelled;
  return RestoreHistoryEntry(table, history, entries.front(), ui);
}

}  // namespace vx
