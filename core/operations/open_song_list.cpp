#include "core/operations/open_song_list.h"

#include <algorithm>
#include <unordered_map>

#include "core/formats/chart_header.h"
#include "core/formats/song_files.h"
#include "core/io/file_io.h"
#include "core/messages.h"
#include "core/operations/operation_support.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"

namespace vx {
namespace {

using ChartRecord = SongListChartRecord;

struct RecordHash {
  std::size_t operator()(const ChartRecord& r) const noexcept {
    // FNV-1a over all 300 bytes: headers of different songs differ mostly in the title and cover fields.
    std::uint64_t h = 1469598103934665603ull;
    for (std::uint8_t b : r) h = (h ^ b) * 1099511628211ull;
    return static_cast<std::size_t>(h);
  }
};

// Title and author, kept apart by a byte neither text can hold (both end at their first zero byte).
std::string NameKey(const std::string& title, const std::string& noter) {
  return title + '\0' + noter;
}

void Show(Interaction& ui, const std::string& gbkText) {
  ui.ShowMessage(gbkText, Gbk(msg::kAppTitle));
}

std::string TotalText(std::size_t total) {
  return Gbk(msg::kListMoreBefore) + std::to_string(total) + Gbk(msg::kListMoreAfter);
}

std::string SummaryText(const SongListApplied& applied) {
  constexpr std::size_t kMaxLines = 20;
  std::string text = Gbk(msg::kListTickedBefore) + std::to_string(applied.ticked) +
                     Gbk(msg::kListTickedAfter) + std::to_string(applied.marked) + Gbk(msg::kListMarkedAfter);
  // A box must fit on the screen: long lists show their start and the total.
  if (!applied.missingTitles.empty()) {
    text += "\n" + Gbk(msg::kListSongsMissing);
    for (std::size_t i = 0; i < applied.missingTitles.size() && i < kMaxLines; ++i) {
      const std::string& title = applied.missingTitles[i];
      text += "\n" + (title.empty() ? Gbk(msg::kListUntitled) : title);
    }
    if (applied.missingTitles.size() > kMaxLines) text += "\n" + TotalText(applied.missingTitles.size());
  }
  if (!applied.missingStatusIds.empty()) {
    constexpr std::size_t kMaxIds = 50;
    text += "\n" + Gbk(msg::kListMarksMissing);
    for (std::size_t i = 0; i < applied.missingStatusIds.size() && i < kMaxIds; ++i)
      text += (i ? "," : "") + std::to_string(applied.missingStatusIds[i]);
    if (applied.missingStatusIds.size() > kMaxIds) text += TotalText(applied.missingStatusIds.size());
  }
  return text;
}

}  // namespace

SongListApplied ApplySongList(SongTable& table, std::string_view gbkMusicDir, const SongList& list) {
  // One read per chart, through one folder handle; the records are looked up by their bytes afterwards.
  std::unordered_map<ChartRecord, std::vector<std::size_t>, RecordHash> byBytes;
  std::vector<std::string> titles(table.Size()), noters(table.Size());
  {
    FolderReader folder(gbkMusicDir);
    ChartRecord head;
    for (std::size_t r = 0; r < table.Size(); ++r) {
      const auto read = folder.ReadPrefix(ChartFileName(table.Row(r).Id()), head);
      if (read) {
        // The list writer zero-fills the record of a short chart, so a short chart matches that way.
        std::fill(head.begin() + static_cast<std::ptrdiff_t>(*read), head.end(), std::uint8_t{0});
        byBytes[head].push_back(r);
        const ChartHeader header = ParseChartHeader(head);
        titles[r] = header.title;
        noters[r] = header.noter;
      } else {
        // Gone since the scan: the table's cells still say what the song was.
        titles[r] = table.Cell(r, kColTitle);
        noters[r] = table.Cell(r, kColNoter);
      }
    }
  }

  for (std::size_t r = 0; r < table.Size(); ++r) {
    table.SetTicked(r, false);
    table.SetCell(r, kColStatus, {});
  }

  std::unordered_map<std::string, std::vector<std::size_t>> byName;
  SongListApplied applied;
  applied.recordIds.assign(list.charts.size(), std::nullopt);
  // Among equal candidates the first free row wins; when all are taken the record names a song already
  // ticked (the list holds it twice) and the first one stands for it.
  auto claim = [&](std::size_t record, const std::vector<std::size_t>& rows) {
    auto it = std::find_if(rows.begin(), rows.end(), [&](std::size_t r) { return !table.IsTicked(r); });
    const std::size_t row = it != rows.end() ? *it : rows.front();
    if (!table.IsTicked(row)) {
      table.SetTicked(row, true);
      ++applied.ticked;
    }
    applied.recordIds[record] = table.Row(row).Id();
  };
  // Exact records first, so a changed chart found by its name cannot take the row of a song that is
  // listed unchanged further down.
  std::vector<std::size_t> unmatched;
  for (std::size_t i = 0; i < list.charts.size(); ++i) {
    if (auto it = byBytes.find(list.charts[i]); it != byBytes.end())
      claim(i, it->second);
    else
      unmatched.push_back(i);
  }
  if (!unmatched.empty())
    for (std::size_t r = 0; r < table.Size(); ++r)
      if (!titles[r].empty()) byName[NameKey(titles[r], noters[r])].push_back(r);
  for (std::size_t i : unmatched) {
    // An untitled record (the writer zero-fills the record of a chart it could not read) names no song.
    const ChartHeader header = ParseChartHeader(list.charts[i]);
    const auto it = header.title.empty() ? byName.end() : byName.find(NameKey(header.title, header.noter));
    if (it != byName.end())
      claim(i, it->second);
    else
      applied.missingTitles.push_back(header.title);
  }

  for (const SongListStatus& status : list.statuses) {
    const auto row = table.FindId(status.id);
    if (!row) {
      applied.missingStatusIds.push_back(status.id);
      continue;
    }
    table.SetCell(*row, kColStatus, StatusMarkTextGbk(status.mark));
    ++applied.marked;
  }
  return applied;
}

OpenSongListResult OnOpenSongList(OperationContext& ctx) {
  Interaction& ui = ctx.ui;
  OpenSongListResult result;
  const auto started = StartOperation(ctx, detail::kNeedMusic, msg::kEmptyTableScanFirst, result);
  if (!started) return result;
  FileDialogRequest request;
  request.filters = {{Gbk(msg::kOpenFilterDat), "*.dat"}, {Gbk(msg::kOpenFilterSml), "*.SML"}};
  request.defaultExtension = "dat";
  const auto path = ui.ChooseOpenFile(request);
  if (!path) return Finished(result, Outcome::kCancelled);

  // One byte more than the largest list can hold is enough to tell that a file is too large.
  const auto bytes = ReadFilePrefix(*path, song_list::kMaxFileSize + 1);
  if (!bytes) {
    Show(ui, Gbk(msg::kListUnreadable) + *path);
    return Finished(result, Outcome::kRefused);
  }
  const SongListReadResult read = ReadSongList(*bytes);
  if (const auto* error = std::get_if<SongListError>(&read)) {
    Show(ui, Gbk(msg::kListRefused) + *path + "\n" + SongListErrorTextGbk(*error));
    return Finished(result, Outcome::kRefused);
  }
  result.applied = ApplySongList(ctx.table, started->folders.musicDir, std::get<SongList>(read));
  result.change.allRowsChanged = true;
  Show(ui, SummaryText(*result.applied));
  return Finished(result, Outcome::kDone);
}

}  // namespace vx
