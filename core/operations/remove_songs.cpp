#include "core/operations/remove_songs.h"

#include <algorithm>

#include "core/formats/song_files.h"
#include "core/io/file_io.h"
#include "core/io/file_move.h"
#include "core/operations/operation_support.h"
#include "core/settings/settings_file.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

std::string Confirmation(const TickedFiles& files, std::string_view utf8After, std::string_view gbkTail) {
  return Gbk(msg::kConfirmBefore) + std::to_string(files.songCount()) + Gbk(msg::kConfirmSongs) +
         std::to_string(files.paths.size()) + Gbk(utf8After) + std::string(gbkTail);
}

// The table follows the folder, not the report of the file operation: whatever was cancelled, skipped or
// failed, a row goes exactly when its chart is no longer in the MUSIC folder.
std::vector<std::size_t> RemoveRowsWhoseChartLeft(SongTable& table, const TickedFiles& files,
                                                  std::string_view gbkMusicDir) {
  std::vector<std::size_t> gone;
  for (std::size_t position : files.positions)
    if (!FileExists(ChartPath(gbkMusicDir, table.Row(position).Id()))) gone.push_back(position);
  return RemoveRows(table, gone);
}

RemoveOutcome Ended(Outcome outcome) {
  RemoveOutcome result;
  result.outcome = outcome;
  return result;
}

}  // namespace

std::string SongLabelGbk(int id, const std::string& gbkTitle) {
  return Gbk(msg::kCheckSongBefore) + std::to_string(id) + " " + gbkTitle;
}

namespace {

// Why a song's files cannot be read, from what opening each said.
std::optional<std::string> UnreadableGbk(int id, ReadAccess chart, ReadAccess music) {
  for (const bool isChart : {true, false}) {
    const std::string name = isChart ? ChartFileName(id) : MusicFileName(id);
    switch (isChart ? chart : music) {
      case ReadAccess::kInUse:
        return Gbk(isChart ? msg::kChartInUseBefore : msg::kMusicInUseBefore) + name + Gbk(msg::kInUseAfter);
      case ReadAccess::kNoPermission:
        return Gbk(isChart ? msg::kCheckUnreadable : msg::kMusicUnreadable) + name;
      default:
        break;
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> SongFilesUnreadableGbk(std::string_view gbkMusicDir, int id) {
  return UnreadableGbk(id, ReadAccessOf(ChartPath(gbkMusicDir, id)),
                       ReadAccessOf(MusicPath(gbkMusicDir, id)));
}

bool RefuseUnreadableSong(Interaction& ui, std::string_view gbkMusicDir, int id) {
  const auto why = SongFilesUnreadableGbk(gbkMusicDir, id);
  if (why) ui.ShowMessage(*why, Gbk(msg::kAppTitle));
  return why.has_value();
}

std::optional<TickedFiles> CollectTickedFiles(const SongTable& table, std::string_view gbkMusicDir,
                                              Interaction& ui) {
  TickedFiles files;
  std::vector<std::string> music, unreachable, unreadable;
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    const int id = table.Row(r).Id();
    std::string chart = ChartPath(gbkMusicDir, id), path = MusicPath(gbkMusicDir, id);
    // One opening of each file tells most of what follows: a thousand songs are four thousand calls fewer.
    const ReadAccess chartAccess = ReadAccessOf(chart), musicAccess = ReadAccessOf(path);
    // A file that cannot be read now would not leave either, or would leave the other file alone.
    if (auto why = UnreadableGbk(id, chartAccess, musicAccess)) {
      unreadable.push_back(SongLabelGbk(id, table.Cell(r, kColTitle)) + Gbk(msg::kCheckSongAfter) + *why);
      continue;
    }
    // Its chart would leave without its music: the song stays whole where it is.
    if (musicAccess != ReadAccess::kReadable && NameWithoutFile(path)) {
      unreachable.push_back(SongLabelGbk(id, table.Cell(r, kColTitle)));
      continue;
    }
    files.positions.push_back(r);
    std::vector<std::string>& song = files.songFiles.emplace_back();
    // Only regular files: a folder that happens to carry a song's name is never trashed or moved.
    if (chartAccess == ReadAccess::kReadable || FileSize(chart)) {
      files.paths.push_back(chart);
      song.push_back(std::move(chart));
    }
    if (musicAccess == ReadAccess::kReadable || FileSize(path)) {
      music.push_back(path);
      song.push_back(std::move(path));
    }
  }
  if (!unreachable.empty()) detail::SayWithLines(ui, msg::kMusicUnreachableKept, unreachable);
  if (!unreadable.empty()) detail::SayWithLines(ui, msg::kSongsUnreadableKept, unreadable);
  if (files.positions.empty()) {
    if (unreachable.empty() && unreadable.empty()) detail::Say(ui, msg::kTickFirst);
    return std::nullopt;
  }
  files.paths.insert(files.paths.end(), std::make_move_iterator(music.begin()),
                     std::make_move_iterator(music.end()));
  return files;
}

std::vector<std::size_t> RemoveRows(SongTable& table, const std::vector<std::size_t>& ascendingPositions) {
  std::vector<std::size_t> removedAt;
  removedAt.reserve(ascendingPositions.size());
  for (std::size_t k = 0; k < ascendingPositions.size(); ++k)
    removedAt.push_back(ascendingPositions[k] - k);  // each earlier removal moved this row up by one
  // One pass however scattered the rows are; row by row, thousands of them took a tenth of a second.
  table.RemovePositions(ascendingPositions);
  return removedAt;
}

namespace {

// Books the end of one song: done, kept whole, or (rarely) half done.
void Record(RemoveOutcome& result, AllOrNone how, SongNote song) {
  switch (how) {
    case AllOrNone::kAll:
      result.filesDone += song.files.size();
      return;
    case AllOrNone::kNone:
      result.filesFailed += song.files.size();
      result.failed.push_back(std::move(song));
      return;
    case AllOrNone::kPartial:
      result.filesFailed += song.files.size();
      result.split.push_back(std::move(song));
      return;
  }
}

// The messages at the end: songs kept whole, then files of songs left half done.
void SayWhatStayed(Interaction& ui, const RemoveOutcome& result, std::string_view utf8NotDone) {
  if (!result.failed.empty()) {
    std::vector<std::string> labels;
    for (const SongNote& song : result.failed) labels.push_back(SongLabelGbk(song.id, song.title));
    detail::SayWithLines(ui, utf8NotDone, labels);
  }
  if (!result.split.empty()) {
    std::vector<std::string> paths;
    for (const SongNote& song : result.split) paths.insert(paths.end(), song.files.begin(), song.files.end());
    detail::SayWithLines(ui, msg::kSongsSplit, paths);
  }
}

SongNote NoteFor(const SongTable& table, std::size_t position, std::vector<std::string> files) {
  return {table.Row(position).Id(), table.Cell(position, kColTitle), std::move(files)};
}

}  // namespace

RemoveOutcome OnDeleteSongs(OperationContext& ctx) {
  SongTable& table = ctx.table;
  Interaction& ui = ctx.ui;
  RemoveOutcome result;
  const auto started =
      StartOperation(ctx, detail::kNeedMusic | detail::kWrites, msg::kEmptyTableScan, result);
  if (!started) return result;
  const FolderSettings* const folders = &started->folders;
  const auto files = CollectTickedFiles(table, folders->musicDir, ui);
  if (!files) return Ended(Outcome::kNothingTicked);
  // Qt offers no shell dialog that confirms a delete, so the operation asks itself.
  if (!ui.AskOkCancel(Confirmation(*files, msg::kConfirmDeleteAfter, {}), Gbk(msg::kAppTitle)))
    return Ended(Outcome::kCancelled);

  OperationJournal journal(folders->musicDir);
  std::vector<JournalEntry> entries;
  for (std::size_t i = 0; i < files->positions.size(); ++i)
    if (!files->songFiles[i].empty())
      entries.push_back({.kind = JournalEntry::Kind::kDelete, .id = table.Row(files->positions[i]).Id()});
  if (!journal.Write(entries, ui)) return Ended(Outcome::kFailed);
  for (std::size_t i = 0; i < files->positions.size(); ++i) {
    const std::vector<std::string>& paths = files->songFiles[i];
    if (paths.empty()) continue;
    Record(result, ui.MoveToTrash(paths), NoteFor(table, files->positions[i], paths));
  }
  if (!result.split.empty()) journal.KeepForRecovery();
  result.change.removedAt = RemoveRowsWhoseChartLeft(table, *files, folders->musicDir);
  SayWhatStayed(ui, result, msg::kSongsNotDeleted);
  result.outcome = result.failed.empty() && result.split.empty() ? Outcome::kDone : Outcome::kFailed;
  return result;
}

RemoveOutcome OnMoveSongs(OperationContext& ctx) {
  SongTable& table = ctx.table;
  Interaction& ui = ctx.ui;
  RemoveOutcome result;
  const auto started = StartOperation(ctx, detail::kNeedMusic | detail::kNeedMove | detail::kWrites,
                                      msg::kEmptyTableScan, result);
  if (!started) return result;
  const FolderSettings* const folders = &started->folders;
  const auto files = CollectTickedFiles(table, folders->musicDir, ui);
  if (!files) return Ended(Outcome::kNothingTicked);
  if (!DirectoryExists(folders->moveDir)) {
    detail::SayWithLines(ui, msg::kMoveTargetMissing, {folders->moveDir});
    return Ended(Outcome::kRefused);
  }
  if (!ui.AskOkCancel(Confirmation(*files, msg::kConfirmMoveAfter, folders->moveDir), Gbk(msg::kAppTitle)))
    return Ended(Outcome::kCancelled);

  // The songs whose names are free in the target are written down at once; a song that clashes only
  // once its answer has made room.
  OperationJournal journal(folders->musicDir);
  const auto entryFor = [&](std::size_t i) {
    return JournalEntry{.kind = JournalEntry::Kind::kMove,
                        .id = table.Row(files->positions[i]).Id(),
                        .target = folders->moveDir};
  };
  std::vector<JournalEntry> entries;
  for (std::size_t i = 0; i < files->positions.size(); ++i)
    if (!files->songFiles[i].empty() &&
        std::none_of(files->songFiles[i].begin(), files->songFiles[i].end(), [&](const std::string& path) {
          return FileExists(JoinPath(folders->moveDir, FileNameOf(path)));
        }))
      entries.push_back(entryFor(i));
  if (!journal.Write(entries, ui)) return Ended(Outcome::kFailed);

  bool stopped = false;
  for (std::size_t i = 0; i < files->positions.size(); ++i) {
    const std::vector<std::string>& paths = files->songFiles[i];
    if (stopped) {
      result.filesSkipped += paths.size();
      continue;
    }
    if (paths.empty()) continue;
    std::vector<std::string> targets, clashing;
    for (const std::string& path : paths) {
      targets.push_back(JoinPath(folders->moveDir, FileNameOf(path)));
      if (FileExists(targets.back())) clashing.push_back(targets.back());
    }
    SongNote song = NoteFor(table, files->positions[i], paths);
    if (!clashing.empty()) {
      std::string question = Gbk(msg::kMoveClashBefore) + "\n" + SongLabelGbk(song.id, song.title);
      for (const std::string& target : clashing) question += "\n" + target;
      question += "\n" + Gbk(msg::kMoveClashAfter);
      switch (ui.AskClash(question, {ClashAnswer::kReplace, ClashAnswer::kSkip, ClashAnswer::kStop})) {
        case ClashAnswer::kReplace:
          // What was there is never overwritten in place: it goes to the trash, where it can be had back.
          if (const AllOrNone trashed = ui.MoveToTrash(clashing); trashed != AllOrNone::kAll) {
            // This song stays whole either way; half-trashed files belong to the song already there.
            if (trashed == AllOrNone::kNone)
              Record(result, AllOrNone::kNone, std::move(song));
            else
              Record(result, AllOrNone::kPartial, SongNote{song.id, song.title, clashing});
            continue;
          }
          if (!journal.Write({entryFor(i)}, ui)) {
            Record(result, AllOrNone::kNone, std::move(song));
            continue;
          }
          break;
        case ClashAnswer::kStop:
          stopped = true;
          result.filesSkipped += paths.size();
          continue;
        case ClashAnswer::kSkip:
        case ClashAnswer::kNextFreeId:  // not offered here
          result.filesSkipped += paths.size();
          result.skipped.push_back({song.id, song.title, clashing});
          continue;
      }
    }
    Record(result, MoveFilesTo(paths, targets), std::move(song));
  }
  if (!result.split.empty()) journal.KeepForRecovery();
  result.change.removedAt = RemoveRowsWhoseChartLeft(table, *files, folders->musicDir);
  SayWhatStayed(ui, result, msg::kSongsNotMoved);
  if (!result.failed.empty() || !result.split.empty())
    result.outcome = Outcome::kFailed;
  else if (stopped)
    result.outcome = Outcome::kCancelled;
  else
    result.outcome = Outcome::kDone;
  return result;
}

}  // namespace vx
