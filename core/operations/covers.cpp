#include "operations/covers.h"

#include <algorithm>
#include <limits>

#include "io/byte_reader.h"
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

// The import itself, once the song and the picture are known: checks the picture and the chart, then
// replaces the chart whole.
Outcome ImportCoverFile(const std::string& gbkMusicDir, int songId, const std::string& gbkJpegPath, Interaction& ui) {
  // The size field holds 32 bits; a larger file cannot be described by it, let alone be a cover.
  const auto jpegSize = FileSize(gbkJpegPath);
  if (!jpegSize) return Outcome::kFailed;
  if (*jpegSize > std::numeric_limits<std::uint32_t>::max()) {
    detail::Say(ui, msg::kNotJpeg);
    return Outcome::kRefused;
  }
  const auto jpeg = ReadWholeFile(gbkJpegPath);
  if (!jpeg) return Outcome::kFailed;
  // A file of fewer than 2 bytes has no end marker to test and fails here too.
  if (!PassesCoverMarkerTest(*jpeg)) {
    detail::Say(ui, msg::kNotJpeg);
    return Outcome::kRefused;
  }

  const std::string chartPath = ChartPath(gbkMusicDir, songId);
  const auto chart = ReadChartHead(chartPath);
  if (!chart) {
    detail::Say(ui, msg::kImportChartUnreadable);
    return Outcome::kRefused;
  }
  const std::uint32_t coverOffset = chart->header.coverOffset;
  if (coverOffset < kMinImportCoverOffset || coverOffset > chart->fileSize) {
    detail::Say(ui, msg::kImportBadCoverOffset);
    return Outcome::kRefused;
  }
  const auto kept = ReadFilePrefix(chartPath, coverOffset);
  if (!kept || kept->size() != coverOffset) {
    detail::Say(ui, msg::kImportChartUnreadable);
    return Outcome::kRefused;
  }
  // Built beside the chart, flushed and renamed over it: a failure at any step leaves the old chart whole.
  if (!ReplaceFileAtomically(chartPath, RebuildChartWithCover(*kept, coverOffset, *jpeg))) {
    detail::Say(ui, msg::kImportNotWritten);
    return Outcome::kFailed;
  }
  return Outcome::kDone;
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

Outcome OnImportCover(const SongTable& table, std::string_view gbkSettingsPath, Interaction& ui) {
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
  return ImportCoverFile(*musicDir, table.Row(ticked[0]).Id(), *jpegPath, ui);
}

Outcome OnDropCover(const SongTable& table, std::string_view gbkSettingsPath, int songId,
                    const std::string& gbkJpegPath, Interaction& ui) {
  Outcome stop{};
  const auto folders = detail::StartOperation(table, gbkSettingsPath, ui, detail::kNeedMusic, msg::kEmptyTableScanFirst, stop);
  if (!folders) return stop;
  const auto row = table.FindId(songId);
  if (!row) {
    detail::Say(ui, msg::kSongGone);
    return Outcome::kRefused;
  }
  const std::string question = Gbk(msg::kDropCoverQuestion) + std::to_string(songId) + " " +
                               table.Cell(*row, kColTitle) + "\n" + Gbk(msg::kDropCoverPicture) + gbkJpegPath;
  if (!ui.AskOkCancel(question, Gbk(msg::kAppTitle))) return Outcome::kCancelled;
  return ImportCoverFile(folders->musicDir, songId, gbkJpegPath, ui);
}

}  // namespace vx
