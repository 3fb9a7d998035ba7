#include "operations/remove_songs.h"

#include "io/file_io.h"
#include "io/file_move.h"
#include "library/scan.h"
#include "operations/operation_support.h"
#include "settings/settings_file.h"
#include "text/native_path.h"

namespace vx {
namespace {

std::string FileNameOf(const std::string& gbkPath) {
  const std::size_t slash = gbkPath.find_last_of(kPathSeparator);
  return slash == std::string::npos ? gbkPath : gbkPath.substr(slash + 1);
}

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

std::optional<TickedFiles> CollectTickedFiles(const SongTable& table, std::string_view gbkMusicDir, Interaction& ui) {
  TickedFiles files;
  std::vector<std::string> music;
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    files.positions.push_back(r);
    const int id = table.Row(r).Id();
    // Only regular files: a folder that happens to carry a song's name is never trashed or moved.
    if (std::string chart = ChartPath(gbkMusicDir, id); FileSize(chart)) files.paths.push_back(std::move(chart));
    if (std::string song = MusicPath(gbkMusicDir, id); FileSize(song)) music.push_back(std::move(song));
  }
  if (files.positions.empty()) {
    detail::Say(ui, msg::kTickFirst);
    return std::nullopt;
  }
  files.paths.insert(files.paths.end(), std::make_move_iterator(music.begin()), std::make_move_iterator(music.end()));
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

RemoveOutcome OnDeleteSongs(SongTable& table, std::string_view gbkSettingsPath, Interaction& ui) {
  RemoveOutcome result;
  Outcome stop{};
  const auto folders = detail::StartOperation(table, gbkSettingsPath, ui, detail::kNeedMusic, msg::kEmptyTableScan, stop);
  if (!folders) return Ended(stop);
  const std::string* musicDir = &folders->musicDir;
  const auto files = CollectTickedFiles(table, *musicDir, ui);
  if (!files) return Ended(Outcome::kNothingTicked);
  // Qt offers no shell dialog that confirms a delete, so the operation asks itself.
  if (!ui.AskOkCancel(Confirmation(*files, msg::kConfirmDeleteAfter, {}), Gbk(msg::kAppTitle)))
    return Ended(Outcome::kCancelled);

  std::vector<std::string> failed;
  for (const std::string& path : files->paths) {
    if (ui.MoveToTrash(path))
      ++result.filesDone;
    else
      failed.push_back(path);
  }
  result.filesFailed = failed.size();
  result.removedAt = RemoveRowsWhoseChartLeft(table, *files, *musicDir);
  if (!failed.empty()) detail::SayWithLines(ui, msg::kNotDeleted, failed);
  result.outcome = failed.empty() ? Outcome::kDone : Outcome::kFailed;
  return result;
}

RemoveOutcome OnMoveSongs(SongTable& table, std::string_view gbkSettingsPath, Interaction& ui) {
  RemoveOutcome result;
  Outcome stop{};
  const auto folders = detail::StartOperation(table, gbkSettingsPath, ui, detail::kNeedMusic | detail::kNeedMove,
                                              msg::kEmptyTableScan, stop);
  if (!folders) return Ended(stop);
  const auto files = CollectTickedFiles(table, folders->musicDir, ui);
  if (!files) return Ended(Outcome::kNothingTicked);
  if (!DirectoryExists(folders->moveDir)) {
    detail::SayWithLines(ui, msg::kMoveTargetMissing, {folders->moveDir});
    return Ended(Outcome::kRefused);
  }
  if (!ui.AskOkCancel(Confirmation(*files, msg::kConfirmMoveAfter, folders->moveDir), Gbk(msg::kAppTitle)))
    return Ended(Outcome::kCancelled);

  std::vector<std::string> failed;
  bool stopped = false;
  for (const std::string& path : files->paths) {
    if (stopped) {
      ++result.filesSkipped;
      continue;
    }
    const std::string target = JoinPath(folders->moveDir, FileNameOf(path));
    MoveResult moved = MoveFileTo(path, target, /*replace=*/false);
    if (moved == MoveResult::kTargetExists) {
      switch (ui.AskOverwrite(target)) {
        case OverwriteAnswer::kReplace:
          moved = MoveFileTo(path, target, /*replace=*/true);
          break;
        case OverwriteAnswer::kSkip:
          ++result.filesSkipped;
          continue;
        case OverwriteAnswer::kCancelRest:
          ++result.filesSkipped;
          stopped = true;
          continue;
      }
    }
    if (moved == MoveResult::kMoved)
      ++result.filesDone;
    else
      failed.push_back(path);
  }
  result.filesFailed = failed.size();
  result.removedAt = RemoveRowsWhoseChartLeft(table, *files, folders->musicDir);
  if (!failed.empty()) detail::SayWithLines(ui, msg::kNotMoved, failed);
  if (!failed.empty())
    result.outcome = Outcome::kFailed;
  else if (stopped)
    result.outcome = Outcome::kCancelled;
  else
    result.outcome = Outcome::kDone;
  return result;
}

}  // namespace vx
