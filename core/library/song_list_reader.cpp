#include "core/library/song_list_reader.h"

#include <algorithm>
#include <bitset>
#include <unordered_map>

#include "core/io/byte_reader.h"
#include "core/io/file_io.h"
#include "core/library/scan.h"
#include "core/messages.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"

namespace vx {
namespace {

using namespace song_list;
using ChartRecord = std::array<std::uint8_t, kChartRecordSize>;

std::optional<StatusMark> MarkOf(std::uint32_t kind, std::uint32_t oneWeek) {
  if (kind == 0 && oneWeek == 1) return StatusMark::kWeekly;
  if (kind == 1 && oneWeek == 0) return StatusMark::kNewest;
  if (kind == 2 && oneWeek == 0) return StatusMark::kPopular;
  return std::nullopt;
}

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

std::string StatusMarkText(StatusMark mark) {
  switch (mark) {
    case StatusMark::kWeekly:
      return Gbk(msg::kMarkWeekly);
    case StatusMark::kNewest:
      return Gbk(msg::kMarkNewest);
    case StatusMark::kPopular:
      return Gbk(msg::kMarkPopular);
  }
  return {};
}

SongListReadResult ReadSongList(std::span<const std::uint8_t> file) {
  if (file.size() > kMaxFileSize) return SongListError{SongListError::kTooLarge, kMaxFileSize};
  ByteReader in(file);
  std::uint32_t charts = 0;
  if (!in.ReadU32Le(charts)) return SongListError{SongListError::kChartCountMissing, 0};
  // Counts are signed in the file; a negative one reads as a huge unsigned value and fails this check.
  if (charts > kMaxRecords) return SongListError{SongListError::kChartCountInvalid, 0};
  // The charts and the second count must both be there before anything is reserved for them.
  if (charts * kChartRecordSize + kCountSize > in.Remaining())
    return SongListError{SongListError::kChartsTruncated, file.size()};

  SongList list;
  list.charts.resize(charts);
  for (auto& record : list.charts) {
    std::span<const std::uint8_t> bytes;
    in.ReadBytes(kChartRecordSize, bytes);
    std::copy(bytes.begin(), bytes.end(), record.begin());
  }

  const std::size_t statusCountAt = in.Offset();
  std::uint32_t statuses = 0;
  in.ReadU32Le(statuses);
  if (statuses > charts) return SongListError{SongListError::kStatusCountInvalid, statusCountAt};
  if (statuses * kStatusRecordSize > in.Remaining())
    return SongListError{SongListError::kStatusesTruncated, file.size()};
  if (statuses * kStatusRecordSize < in.Remaining())
    return SongListError{SongListError::kTrailingBytes, in.Offset() + statuses * kStatusRecordSize};

  std::bitset<kMaxSongs> seen;
  list.statuses.reserve(statuses);
  for (std::uint32_t i = 0; i < statuses; ++i) {
    const std::size_t at = in.Offset();
    std::uint32_t id = 0, zero = 0, kind = 0, oneWeek = 0;
    in.ReadU32Le(id);
    in.ReadU32Le(zero);
    in.ReadU32Le(kind);
    in.ReadU32Le(oneWeek);
    if (id >= static_cast<std::uint32_t>(kMaxSongs))
      return SongListError{SongListError::kStatusIdInvalid, at};
    if (zero != 0) return SongListError{SongListError::kStatusPaddingNonZero, at + 4};
    const auto mark = MarkOf(kind, oneWeek);
    if (!mark) return SongListError{SongListError::kStatusMarkUnknown, at + 8};
    // The writer gives each listed row one record; two for one ID would leave the mark to chance.
    if (seen.test(id)) return SongListError{SongListError::kStatusIdRepeated, at};
    seen.set(id);
    list.statuses.push_back({static_cast<int>(id), *mark});
  }
  return list;
}

std::string SongListErrorText(const SongListError& error) {
  std::string_view reason;
  switch (error.kind) {
    case SongListError::kTooLarge:
      reason = msg::kListTooLarge;
      break;
    case SongListError::kChartCountMissing:
      reason = msg::kListChartCountMissing;
      break;
    case SongListError::kChartCountInvalid:
      reason = msg::kListChartCountInvalid;
      break;
    case SongListError::kChartsTruncated:
      reason = msg::kListChartsTruncated;
      break;
    case SongListError::kStatusCountInvalid:
      reason = msg::kListStatusCountInvalid;
      break;
    case SongListError::kStatusesTruncated:
      reason = msg::kListStatusesTruncated;
      break;
    case SongListError::kTrailingBytes:
      reason = msg::kListTrailingBytes;
      break;
    case SongListError::kStatusIdInvalid:
      reason = msg::kListStatusIdInvalid;
      break;
    case SongListError::kStatusPaddingNonZero:
      reason = msg::kListStatusPadding;
      break;
    case SongListError::kStatusMarkUnknown:
      reason = msg::kListStatusUnknown;
      break;
    case SongListError::kStatusIdRepeated:
      reason = msg::kListStatusRepeated;
      break;
  }
  return Gbk(reason) + Gbk(msg::kListAtByteBefore) + std::to_string(error.offset) +
         Gbk(msg::kListAtByteAfter);
}

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
    table.SetCell(*row, kColStatus, StatusMarkText(status.mark));
    ++applied.marked;
  }
  return applied;
}

OpenSongListResult OnOpenSongList(SongTable& table, std::string_view gbkSettingsPath, Interaction& ui) {
  const auto musicDir = ReadFolder(gbkSettingsPath, FolderSlot::kMusic);
  if (!musicDir) return {};
  if (musicDir->empty()) {
    Show(ui, Gbk(msg::kCheckFolders));
    return {};
  }
  if (table.Empty()) {
    Show(ui, Gbk(msg::kEmptyTableScanFirst));
    return {};
  }
  FileDialogRequest request;
  request.filters = {{Gbk(msg::kOpenFilterDat), "*.dat"}, {Gbk(msg::kOpenFilterSml), "*.SML"}};
  request.defaultExtension = "dat";
  const auto path = ui.ChooseOpenFile(request);
  if (!path) return {};

  // One byte more than the largest list can hold is enough to tell that a file is too large.
  const auto bytes = ReadFilePrefix(*path, kMaxFileSize + 1);
  if (!bytes) {
    Show(ui, Gbk(msg::kListUnreadable) + *path);
    return {};
  }
  const SongListReadResult read = ReadSongList(*bytes);
  if (const auto* error = std::get_if<SongListError>(&read)) {
    Show(ui, Gbk(msg::kListRefused) + *path + "\n" + SongListErrorText(*error));
    return {};
  }
  OpenSongListResult result;
  result.tableChanged = true;
  result.applied = ApplySongList(table, *musicDir, std::get<SongList>(read));
  Show(ui, SummaryText(*result.applied));
  return result;
}

}  // namespace vx
