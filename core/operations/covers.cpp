#include "operations/covers.h"

#include <algorithm>
#include <array>
#include <limits>

#include "io/byte_reader.h"
#include "io/random_access_file.h"
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

// A chart may declare a cover of gigabytes (a sparse file costs its maker nothing), so the cover is copied
// in pieces of this size and never held whole.
constexpr std::size_t kCoverCopyChunk = std::size_t{1} << 20;

// Writes one ticked song's cover to `target`. Empty when it was written; otherwise the reason, GBK.
std::optional<std::string> ExportCover(const std::string& chartPath, int id, const std::string& target) {
  const std::string name = ChartFileName(id);
  const auto chart = RandomAccessFile::Open(chartPath);
  if (!chart) {
    const PathKind kind = KindOfPath(chartPath);
    if (kind == PathKind::kOther || kind == PathKind::kFolder)
      return Gbk(msg::kCheckNotRegularBefore) + name + Gbk(msg::kCheckNotRegularAfter);
    return Gbk(msg::kCheckUnreadable) + name;
  }
  std::array<std::uint8_t, kChartHeaderSize> head{};
  if (chart->Size() < kChartHeaderSize || !chart->ReadAt(0, head))
    return Gbk(msg::kCheckShortBefore) + name + Gbk(msg::kCheckShortAfter);
  const ChartHeader header = ParseChartHeader(head);
  // The size field is checked against the real file before anything is read from it.
  if (!CoverInsideFile(header, chart->Size()))
    return Gbk(msg::kCheckCoverOutsideBefore) + name + Gbk(msg::kCheckCoverOutsideAfter);

  bool readFailed = false;
  const OutputResult written = WriteOutputFile(target, [&](const OutputChunkWriter& write) {
    Bytes chunk(static_cast<std::size_t>(std::min<std::uint64_t>(header.coverSize, kCoverCopyChunk)));
    for (std::uint64_t done = 0; done < header.coverSize;) {
      const std::span<std::uint8_t> piece(chunk.data(), static_cast<std::size_t>(std::min<std::uint64_t>(header.coverSize - done, chunk.size())));
      if (!chart->ReadAt(header.coverOffset + done, piece)) {
        readFailed = true;  // the chart shrank since we looked
        return false;
      }
      if (!write(piece)) return false;
      done += piece.size();
    }
    return true;
  });
  if (written == OutputResult::kWritten) return std::nullopt;
  if (readFailed) return Gbk(msg::kCoverReadFailed) + name;
  return Gbk(msg::kCannotCreateFile) + detail::NamedOutput(target, written);
}

}  // namespace

Outcome OnExportCovers(const SongTable& table, std::string_view gbkSettingsPath, Interaction& ui) {
  Outcome stop{};
  const auto folders =
      detail::StartOperation(table, gbkSettingsPath, ui, detail::kNeedMusic | detail::kNeedImage, msg::kEmptyTableScan, stop);
  if (!folders) return stop;
  bool anyTicked = false;
  std::vector<std::string> notExported;  // "编号<ID>:<why>"
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    anyTicked = true;
    const int id = table.Row(r).Id();
    const std::string target = JoinPath(folders->imageDir, MakeFileNameSafe(table.Cell(r, kColTitle)) + ".jpg");
    if (auto why = ExportCover(ChartPath(folders->musicDir, id), id, target))
      notExported.push_back(Gbk(msg::kCheckSongBefore) + std::to_string(id) + Gbk(msg::kCheckSongAfter) + *why);
  }
  if (!anyTicked) {
    detail::Say(ui, msg::kTickFirst);
    return Outcome::kNothingTicked;
  }
  // "Done" over songs that produced nothing would send the person looking for covers that are not there.
  if (!notExported.empty()) {
    detail::SayWithLines(ui, msg::kCoversNotExported, notExported);
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

  const std::string chartPath = ChartPath(*musicDir, table.Row(ticked[0]).Id());
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

}  // namespace vx
