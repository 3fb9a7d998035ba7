#include "core/operations/game_list.h"

#include <algorithm>

#include "core/formats/song_files.h"
#include "core/formats/song_list_file.h"
#include "core/operations/operation_support.h"
#include "core/settings/settings_file.h"

namespace vx {

Bytes BuildGameList(const SongTable& table, std::string_view gbkMusicDir, std::vector<int>* unreadable) {
  SongList list;
  FolderReader folder(gbkMusicDir);
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    const int id = table.Row(r).Id();
    SongListChartRecord& record = list.charts.emplace_back();
    const auto read = folder.ReadPrefix(ChartFileName(id), record);
    if (!read || *read < record.size()) {
      // The record stays: without it the list would lose the song's place in the file.
      std::fill(record.begin() + static_cast<std::ptrdiff_t>(read.value_or(0)), record.end(),
                std::uint8_t{0});
      if (unreadable) unreadable->push_back(id);
    }
  }
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    if (const auto mark = StatusMarkOfGbk(table.Cell(r, kColStatus)))
      list.statuses.push_back({table.Row(r).Id(), *mark});
  }
  return WriteSongList(list);
}

GameListResult OnGameList(OperationContext& ctx) {
  const SongTable& table = ctx.table;
  Interaction& ui = ctx.ui;
  GameListResult result;
  const auto started = StartOperation(ctx, detail::kNeedMusic, msg::kEmptyTableScan, result);
  if (!started) return result;
  const std::string* musicDir = &started->folders.musicDir;
  FileDialogRequest request;
  request.filters = {{Gbk(msg::kOpenFilterDat), "*.dat"}, {Gbk(msg::kOpenFilterSml), "*.SML"}};
  request.defaultExtension = "dat";
  const auto path = ui.ChooseSaveFile(request);
  if (!path) return Finished(result, Outcome::kCancelled);

  std::vector<int> unreadable;
  const Bytes file = BuildGameList(table, *musicDir, &unreadable);
  if (const OutputResult written = WriteOutputFile(*path, file); written != OutputResult::kWritten) {
    detail::SayWithLines(ui, msg::kCannotCreateFile, {detail::NamedOutput(*path, written)});
    return Finished(result, Outcome::kFailed);
  }
  if (!unreadable.empty()) {
    std::string ids;
    for (int id : unreadable) ids += (ids.empty() ? "" : ",") + std::to_string(id);
    ui.ShowMessage(Gbk(msg::kGameListUnreadable) + ids, Gbk(msg::kAppTitle));
  }
  result.path = *path;
  return Finished(result, Outcome::kDone);
}

}  // namespace vx
