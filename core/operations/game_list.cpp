#include "core/operations/game_list.h"

#include <cstring>

#include "core/io/byte_reader.h"
#include "core/library/chart_header.h"
#include "core/library/scan.h"
#include "core/operations/operation_support.h"
#include "core/settings/settings_file.h"

namespace vx {
namespace {

struct StatusFields {
  std::uint32_t kind = 0;
  std::uint32_t oneWeek = 0;
};

StatusFields StatusFieldsOf(const std::string& cell) {
  if (cell == Gbk(msg::kMarkNewest)) return {1, 0};
  if (cell == Gbk(msg::kMarkPopular)) return {2, 0};
  if (cell == Gbk(msg::kMarkWeekly)) return {0, 1};
  return {};  // no other text is ever put into the cell
}

}  // namespace

Bytes BuildGameList(const SongTable& table, std::string_view gbkMusicDir, std::vector<int>* unreadable) {
  // Both counts come from the same rows the records are written for, so a reader can trust them.
  std::size_t charts = 0, marks = 0;
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    ++charts;
    if (!table.Cell(r, kColStatus).empty()) ++marks;
  }
  Bytes file(8 + kChartHeaderSize * charts + kStatusRecordSize * marks, 0);
  std::uint8_t* out = file.data();
  PutU32Le(out, static_cast<std::uint32_t>(charts));
  out += 4;

  FolderReader folder(gbkMusicDir);
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    const int id = table.Row(r).Id();
    const auto read = folder.ReadPrefix(ChartFileName(id), std::span(out, kChartHeaderSize));
    if (!read || *read < kChartHeaderSize) {
      // The record stays: without it the count written above would lie about the rest of the file.
      std::memset(out + (read ? *read : 0), 0, kChartHeaderSize - (read ? *read : 0));
      if (unreadable) unreadable->push_back(id);
    }
    out += kChartHeaderSize;
  }

  PutU32Le(out, static_cast<std::uint32_t>(marks));
  out += 4;
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r) || table.Cell(r, kColStatus).empty()) continue;
    const StatusFields status = StatusFieldsOf(table.Cell(r, kColStatus));
    PutU32Le(out, static_cast<std::uint32_t>(table.Row(r).Id()));
    PutU32Le(out + 4, 0);
    PutU32Le(out + 8, status.kind);
    PutU32Le(out + 12, status.oneWeek);
    out += kStatusRecordSize;
  }
  return file;
}

Outcome OnGameList(const SongTable& table, std::string_view gbkSettingsPath, Interaction& ui) {
  Outcome stop{};
  const auto folders =
      detail::StartOperation(table, gbkSettingsPath, ui, detail::kNeedMusic, msg::kEmptyTableScan, stop);
  if (!folders) return stop;
  const std::string* musicDir = &folders->musicDir;
  FileDialogRequest request;
  request.filters = {{Gbk(msg::kOpenFilterDat), "*.dat"}, {Gbk(msg::kOpenFilterSml), "*.SML"}};
  request.defaultExtension = "dat";
  const auto path = ui.ChooseSaveFile(request);
  if (!path) return Outcome::kCancelled;

  std::vector<int> unreadable;
  const Bytes file = BuildGameList(table, *musicDir, &unreadable);
  if (const OutputResult written = WriteOutputFile(*path, file); written != OutputResult::kWritten) {
    detail::SayWithLines(ui, msg::kCannotCreateFile, {detail::NamedOutput(*path, written)});
    return Outcome::kFailed;
  }
  if (!unreadable.empty()) {
    std::string ids;
    for (int id : unreadable) ids += (ids.empty() ? "" : ",") + std::to_string(id);
    ui.ShowMessage(Gbk(msg::kGameListUnreadable) + ids, Gbk(msg::kAppTitle));
  }
  return Outcome::kDone;
}

}  // namespace vx
