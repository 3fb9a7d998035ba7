#include "operations/covers.h"

#include <algorithm>
#include <limits>

#include "io/byte_reader.h"
#include "io/file_rewrite.h"
#include "library/song_edit.h"
#include "library/chart_header.h"
#include "library/cover.h"
#include "library/scan.h"
#include "operations/operation_support.h"
#include "settings/settings_file.h"
#include "text/file_name.h"
#include "text/native_path.h"

namespace vx {
namespace {

struct ChartHead {
  ChartHeader header;
  std::uint64_t fileSize = 0;
};

// The header and real length of a chart; empty when it cannot be read or is too short to hold the cover
// fields, which leaves nothing trustworthy to locate a cover by.
std::optional<ChartHead> ReadChartHead(const std::string& chartPath) {
  const auto size = FileSize(chartPath);
  if (!size) return std::nullopt;
  const auto head = ReadFilePrefix(chartPath, kChartHeaderSize);
  if (!head || head->size() < kChartHeaderSize) return std::nullopt;
  return ChartHead{ParseChartHeader(*head), *size};
}

}  // namespace

Outcome OnExportCovers(const SongTable& table, std::string_view gbkSettingsPath, Interaction& ui) {
  Outcome stop{};
  const auto folders =
      detail::StartOperation(table, gbkSettingsPath, ui, detail::kNeedMusic | detail::kNeedImage, msg::kEmptyTableScan, stop);
  if (!folders) return stop;
  bool found = false;
  std::vector<std::string> notCreated;
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    const std::string chartPath = ChartPath(folders->musicDir, table.Row(r).Id());
    const auto chart = ReadChartHead(chartPath);
    // The size field is checked against the real file before anything is read or allocated from it.
    if (!chart || !CoverInsideFile(chart->header, chart->fileSize)) continue;
    found = true;
    const auto cover = ReadFileRange(chartPath, chart->header.coverOffset, chart->header.coverSize);
    if (!cover || cover->size() != chart->header.coverSize) continue;  // shrank since we looked
    const std::string target = JoinPath(folders->imageDir, MakeFileNameSafe(table.Cell(r, kColTitle)) + ".jpg");
    if (!WriteNewFile(target, *cover)) notCreated.push_back(target);
  }
  if (!found) {
    detail::Say(ui, msg::kTickFirst);
    return Outcome::kNothingTicked;
  }
  if (!notCreated.empty()) {
    detail::SayWithLines(ui, msg::kFilesNotCreated, notCreated);
    return Outcome::kFailed;
  }
  detail::Say(ui, msg::kCoversExported);
  return Outcome::kDone;
}

Bytes RebuildChartWithCover(std::span<const std::uint8_t> chart, std::uint32_t coverOffset,
                            std::span<const std::uint8_t> jpeg) {
  Bytes rebuilt(std::size_t{coverOffset} + jpeg.size());
  std::copy_n(chart.begin(), coverOffset, rebuilt.begin());
  PutU32Le(&rebuilt[chart_offset::kCoverSize], static_cast<std::uint32_t>(jpeg.size()));
  std::copy(jpeg.begin(), jpeg.end(), rebuilt.begin() + coverOffset);
  return rebuilt;
}

Outcome OnImportCover(const SongTable& table, std::string_view gbkSettingsPath, Interaction& ui, History* history) {
  Outcome stop{};
  const auto folders = detail::StartOperation(table, gbkSettingsPath, ui, detail::kNeedMusic, msg::kEmptyTableScanFirst, stop);
  if (!folders) return stop;
  const std::string* musicDir = &folders->musicDir;
  const auto ticked = table.TickedRows();
  if (ticked.size() != 1) {
    detail::Say(ui, msg::kImportNeedsOneTick);
    return Outcome::kNothingTicked;
  }
  FileDialogRequest request;
  request.filters = {{Gbk(msg::kFilterJpeg), "*.jpg"}};
  request.defaultExtension = "jpg";
  const auto jpegPath = ui.ChooseOpenFile(request);
  if (!jpegPath) return Outcome::kCancelled;

  // The size field holds 32 bits; a larger file cannot be described by it, let alone be a cover.
  const auto jpegSize = FileSize(*jpegPath);
  if (!jpegSize) return Outcome::kFailed;
  if (*jpegSize > std::numeric_limits<std::uint32_t>::max()) {
    detail::Say(ui, msg::kNotJpeg);
    return Outcome::kRefused;
  }
  const auto jpeg = ReadWholeFile(*jpegPath);
  if (!jpeg) return Outcome::kFailed;
  // A file of fewer than 2 bytes has no end marker to test and fails here too.
  if (!PassesCoverMarkerTest(*jpeg)) {
    detail::Say(ui, msg::kNotJpeg);
    return Outcome::kRefused;
  }

  const int id = table.Row(ticked[0]).Id();
  const std::string chartPath = ChartPath(*musicDir, id);
  // Checked and rebuilt under the rewrite's lock, from the bytes as they are at that moment.
  std::string_view refusal;
  bool historyFailed = false;
  const RewriteStatus status = RewriteFile(chartPath, [&](Bytes& chart) {
    if (chart.size() < kChartHeaderSize) {
      refusal = msg::kImportChartUnreadable;
      return false;
    }
    const std::uint32_t coverOffset = ParseChartHeader(chart).coverOffset;
    if (coverOffset < kMinImportCoverOffset || coverOffset > chart.size()) {
      refusal = msg::kImportBadCoverOffset;
      return false;
    }
    if (history && !history->Record(*musicDir, id, HistoryOperation::kImportCover, chart)) {
      historyFailed = true;
      return false;
    }
    chart = RebuildChartWithCover(std::span(chart).first(coverOffset), coverOffset, *jpeg);
    return true;
  });
  if (status == RewriteStatus::kRewritten) return Outcome::kDone;
  if (!refusal.empty()) {
    detail::Say(ui, refusal);
    return Outcome::kRefused;
  }
  if (historyFailed) {
    detail::SayWithLines(ui, msg::kHistoryNotWritten, {history->Folder()});
    return Outcome::kRefused;
  }
  if (status == RewriteStatus::kMissing) {
    detail::Say(ui, msg::kImportChartUnreadable);
    return Outcome::kRefused;
  }
  if (SayRewriteRefusal(status, chartPath, ui)) return Outcome::kRefused;
  // The new chart was built beside the old one and renamed over it, so a failure left the old one whole.
  detail::Say(ui, msg::kImportNotWritten);
  return Outcome::kFailed;
}

}  // namespace vx
