#include "core/operations/song_numbers.h"

#include "core/formats/chart_header.h"
#include "core/formats/song_files.h"
#include "core/io/dir_list.h"
#include "core/io/file_io.h"
#include "core/io/file_move.h"
#include "core/operations/operation_support.h"
#include "core/operations/remove_songs.h"
#include "core/text/native_path.h"

namespace vx {

TakenIds TakenIdsIn(std::string_view gbkMusicDir) {
  TakenIds taken;
  const auto names = ListFolderNames(gbkMusicDir);
  if (!names) return taken;
  for (const std::string& name : *names)
    if (const auto id = ParseSongFileName(name, kFileNamesIgnoreCase))
      taken.set(static_cast<std::size_t>(*id));
  return taken;
}

std::optional<int> LowestFreeId(const TakenIds& taken) {
  for (int id = 0; id < kMaxSongs; ++id)
    if (!taken.test(static_cast<std::size_t>(id))) return id;
  return std::nullopt;
}

std::string SongInFolderLabelGbk(std::string_view gbkMusicDir, int id) {
  const auto head = ReadFilePrefix(ChartPath(gbkMusicDir, id), kChartHeaderSize);
  if (head) return SongLabelGbk(id, ParseChartHeader(*head).title);
  return SongLabelGbk(id, MusicFileName(id));
}

OperationResult RenumberSong(OperationContext& ctx, int from, int to) {
  OperationResult result;
  const auto started = StartOperation(ctx, detail::kNeedMusic | detail::kWrites, {}, result);
  if (!started) return result;
  const std::string& gbkMusicDir = started->folders.musicDir;
  Interaction& ui = ctx.ui;
  History* const history = ctx.history;
  const auto ended = [&result](Outcome outcome) {
    result.outcome = outcome;
    return result;
  };
  if (to < 0 || to >= kMaxSongs) {
    detail::Say(ui, msg::kRenumberOutOfRange);
    return ended(Outcome::kRefused);
  }
  if (to == from) {
    detail::Say(ui, msg::kRenumberSame);
    return ended(Outcome::kRefused);
  }
  if (RefuseUnreadableSong(ui, gbkMusicDir, from)) return ended(Outcome::kRefused);
  const std::string chart = ChartPath(gbkMusicDir, from);
  const auto bytes = ReadWholeFile(chart);
  if (!bytes) {
    detail::SayWithLines(ui, msg::kRenumberNoChart, {chart});
    return ended(Outcome::kRefused);
  }
  if (NameWithoutFile(MusicPath(gbkMusicDir, from))) {
    detail::SayWithLines(ui, msg::kMusicUnreachableKept, {SongInFolderLabelGbk(gbkMusicDir, from)});
    return ended(Outcome::kRefused);
  }
  if (TakenIdsIn(gbkMusicDir).test(static_cast<std::size_t>(to))) {
    ui.ShowMessage(Gbk(msg::kRenumberTaken) + SongInFolderLabelGbk(gbkMusicDir, to), Gbk(msg::kAppTitle));
    return ended(Outcome::kRefused);
  }
  History* keep = nullptr;
  if (!detail::ChooseHistory(ui, history, chart, keep)) return ended(Outcome::kCancelled);
  std::optional<std::string> entry;
  if (keep && !(entry = keep->Record(gbkMusicDir, from, HistoryOperation::kRenumber, *bytes, to))) {
    detail::SayWithLines(ui, msg::kHistoryNotWritten, {history->Folder()});
    return ended(Outcome::kRefused);
  }
  std::vector<std::string> sources = {chart}, targets = {ChartPath(gbkMusicDir, to)};
  if (FileSize(MusicPath(gbkMusicDir, from))) {
    sources.push_back(MusicPath(gbkMusicDir, from));
    targets.push_back(MusicPath(gbkMusicDir, to));
  }
  OperationJournal journal(gbkMusicDir);
  if (!journal.Write({{.kind = JournalEntry::Kind::kRenumber, .id = from, .to = to}}, ui)) {
    if (entry) keep->Forget(*entry);
    return ended(Outcome::kFailed);
  }
  // Renames that never replace: a file that took the new name meanwhile makes the whole renumber fail.
  const AllOrNone renamed = MoveFilesTo(sources, targets);
  if (renamed != AllOrNone::kAll) {
    // Nothing moved, so there is nothing to take back: an entry left here would undo a renumber that
    // never happened.
    if (renamed == AllOrNone::kNone && entry) keep->Forget(*entry);
    if (renamed == AllOrNone::kPartial) journal.KeepForRecovery();
    if (renamed == AllOrNone::kPartial)
      detail::SayWithLines(ui, msg::kSongsSplit, {sources[0], targets[0]});
    else
      detail::Say(ui, msg::kRenumberFailed);
    return ended(Outcome::kFailed);
  }
  if (const auto row = ctx.table.FindId(from)) {
    ctx.table.SetCell(*row, kColId, std::to_string(to));
    result.change.changedRows.push_back(*row);
  }
  return ended(Outcome::kDone);
}

RenumberResult OnRenumber(OperationContext& ctx, const std::vector<std::size_t>& selectedRows) {
  RenumberResult result;
  if (ctx.table.Empty() || selectedRows.size() != 1) {
    detail::Say(ctx.ui, msg::kChooseSongFirst);
    result.outcome = Outcome::kNothingTicked;
    return result;
  }
  // The question is asked without the folder's lock: a person thinking must not hold up another writer.
  const auto started = StartOperation(ctx, detail::kNeedMusic, {}, result);
  if (!started) return result;
  const std::size_t row = selectedRows.front();
  const int from = ctx.table.Row(row).Id();
  const std::string& musicDir = started->folders.musicDir;
  if (RefuseUnreadableSong(ctx.ui, musicDir, from)) {
    result.outcome = Outcome::kRefused;
    return result;
  }
  // A taken number is refused while the question is still open, so the person can type another; the
  // folder is read afresh for each, and RenumberSong checks once more under the lock.
  const NumberCheck taken = [&musicDir](int id) {
    return TakenIdsIn(musicDir).test(static_cast<std::size_t>(id))
               ? Gbk(msg::kRenumberTaken) + SongInFolderLabelGbk(musicDir, id)
               : std::string();
  };
  const auto to = ctx.ui.AskNumber(
      SongLabelGbk(from, ctx.table.Cell(row, kColTitle)) + "\n" + Gbk(msg::kRenumberPrompt),
      Gbk(msg::kRenumberTitle), LowestFreeId(TakenIdsIn(musicDir)).value_or(from), 0, kMaxSongs - 1, taken);
  if (!to) {
    result.outcome = Outcome::kCancelled;
    return result;
  }
  static_cast<OperationResult&>(result) = RenumberSong(ctx, from, *to);
  result.from = from;
  result.to = *to;
  return result;
}

}  // namespace vx
