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

Outcome RenumberSong(SongTable& table, std::string_view gbkMusicDir, int from, int to, Interaction& ui,
                     History* history) {
  if (to < 0 || to >= kMaxSongs) {
    detail::Say(ui, msg::kRenumberOutOfRange);
    return Outcome::kRefused;
  }
  if (to == from) {
    detail::Say(ui, msg::kRenumberSame);
    return Outcome::kRefused;
  }
  const std::string chart = ChartPath(gbkMusicDir, from);
  const auto bytes = ReadWholeFile(chart);
  if (!bytes) {
    detail::SayWithLines(ui, msg::kRenumberNoChart, {chart});
    return Outcome::kRefused;
  }
  if (TakenIdsIn(gbkMusicDir).test(static_cast<std::size_t>(to))) {
    ui.ShowMessage(Gbk(msg::kRenumberTaken) + SongInFolderLabelGbk(gbkMusicDir, to), Gbk(msg::kAppTitle));
    return Outcome::kRefused;
  }
  if (history && !history->Record(gbkMusicDir, from, HistoryOperation::kRenumber, *bytes, to)) {
    detail::SayWithLines(ui, msg::kHistoryNotWritten, {history->Folder()});
    return Outcome::kRefused;
  }
  std::vector<std::string> sources = {chart}, targets = {ChartPath(gbkMusicDir, to)};
  if (FileSize(MusicPath(gbkMusicDir, from))) {
    sources.push_back(MusicPath(gbkMusicDir, from));
    targets.push_back(MusicPath(gbkMusicDir, to));
  }
  // Renames that never replace: a file that took the new name meanwhile makes the whole renumber fail.
  const AllOrNone renamed = MoveFilesTo(sources, targets);
  if (renamed != AllOrNone::kAll) {
    if (renamed == AllOrNone::kPartial)
      detail::SayWithLines(ui, msg::kSongsSplit, {sources[0], targets[0]});
    else
      detail::Say(ui, msg::kRenumberFailed);
    return Outcome::kFailed;
  }
  if (const auto row = table.FindId(from)) table.SetCell(*row, kColId, std::to_string(to));
  return Outcome::kDone;
}

}  // namespace vx
