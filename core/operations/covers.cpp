#include "core/operations/covers.h"

#include <algorithm>
#include <array>
#include <limits>

#include "core/formats/chart_header.h"
#include "core/formats/cover.h"
#include "core/formats/song_files.h"
#include "core/io/byte_reader.h"
#include "core/io/file_rewrite.h"
#include "core/io/random_access_file.h"
#include "core/operations/operation_support.h"
#include "core/operations/remove_songs.h"
#include "core/settings/settings_file.h"
#include "core/text/file_name.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

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
      const std::span<std::uint8_t> piece(chunk.data(), static_cast<std::size_t>(std::min<std::uint64_t>(
                                                            header.coverSize - done, chunk.size())));
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

// The import itself, once the song and the picture are known: checks the picture and the chart, then
// replaces the chart whole.
Outcome ImportCoverFile(const std::string& gbkMusicDir, int songId, const std::string& gbkJpegPath,
                        Interaction& ui, History* history) {
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
  History* keep = nullptr;
  if (!detail::ChooseHistory(ui, history, chartPath, keep)) return Outcome::kCancelled;
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
    if (keep && !keep->Record(gbkMusicDir, songId, HistoryOperation::kImportCover, chart)) {
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
  if (detail::SayRewriteRefusal(status, chartPath, ui)) return Outcome::kRefused;
  // The new chart was built beside the old one and renamed over it, so a failure left the old one whole.
  detail::Say(ui, msg::kImportNotWritten);
  return Outcome::kFailed;
}

}  // namespace

namespace {
Outcome ExportTickedCovers(const SongTable& table, const FolderSettings& folderSettings, Interaction& ui);
}  // namespace

OperationResult OnExportCovers(OperationContext& ctx) {
  OperationResult result;
  const auto started =
      StartOperation(ctx, detail::kNeedMusic | detail::kNeedImage, msg::kEmptyTableScan, result);
  if (!started) return result;
  result.outcome = ExportTickedCovers(ctx.table, started->folders, ctx.ui);
  return result;
}

namespace {

Outcome ExportTickedCovers(const SongTable& table, const FolderSettings& folderSettings, Interaction& ui) {
  const FolderSettings* const folders = &folderSettings;
  bool anyTicked = false;
  std::vector<std::string> notExported;  // "编号<ID>:<why>"
  for (std::size_t r = 0; r < table.Size(); ++r) {
    if (!table.IsTicked(r)) continue;
    anyTicked = true;
    const int id = table.Row(r).Id();
    const std::string target =
        JoinPath(folders->imageDir, MakeFileNameSafe(table.Cell(r, kColTitle)) + ".jpg");
    if (auto why = ExportCover(ChartPath(folders->musicDir, id), id, target))
      notExported.push_back(Gbk(msg::kCheckSongBefore) + std::to_string(id) + Gbk(msg::kCheckSongAfter) +
                            *why);
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

}  // namespace

Bytes RebuildChartWithCover(std::span<const std::uint8_t> chart, std::uint32_t coverOffset,
                            std::span<const std::uint8_t> jpeg) {
  Bytes rebuilt(std::size_t{coverOffset} + jpeg.size());
  std::copy_n(chart.begin(), coverOffset, rebuilt.begin());
  PutU32Le(&rebuilt[chart_offset::kCoverSize], static_cast<std::uint32_t>(jpeg.size()));
  std::copy(jpeg.begin(), jpeg.end(), rebuilt.begin() + coverOffset);
  return rebuilt;
}

OperationResult OnImportCover(OperationContext& ctx) {
  OperationResult result;
  const auto started =
      StartOperation(ctx, detail::kNeedMusic | detail::kWrites, msg::kEmptyTableScanFirst, result);
  if (!started) return result;
  const auto ticked = ctx.table.TickedRows();
  if (ticked.size() != 1) {
    detail::Say(ctx.ui, msg::kImportNeedsOneTick);
    result.outcome = Outcome::kNothingTicked;
    return result;
  }
  const int id = ctx.table.Row(ticked[0]).Id();
  if (RefuseUnreadableSong(ctx.ui, started->folders.musicDir, id)) {
    result.outcome = Outcome::kRefused;
    return result;
  }
  FileDialogRequest request;
  request.filters = {{Gbk(msg::kFilterJpeg), "*.jpg"}};
  request.defaultExtension = "jpg";
  const auto jpegPath = ctx.ui.ChooseOpenFile(request);
  result.outcome = !jpegPath ? Outcome::kCancelled
                             : ImportCoverFile(started->folders.musicDir, id, *jpegPath, ctx.ui, ctx.history);
  return result;
}

OperationResult OnDropCover(OperationContext& ctx, int songId, const std::string& gbkJpegPath) {
  OperationResult result;
  const auto started =
      StartOperation(ctx, detail::kNeedMusic | detail::kWrites, msg::kEmptyTableScanFirst, result);
  if (!started) return result;
  const auto row = ctx.table.FindId(songId);
  if (!row) {
    detail::Say(ctx.ui, msg::kSongGone);
    result.outcome = Outcome::kRefused;
    return result;
  }
  if (RefuseUnreadableSong(ctx.ui, started->folders.musicDir, songId)) {
    result.outcome = Outcome::kRefused;
    return result;
  }
  const std::string question = Gbk(msg::kDropCoverQuestion) + std::to_string(songId) + " " +
                               ctx.table.Cell(*row, kColTitle) + "\n" + Gbk(msg::kDropCoverPicture) +
                               gbkJpegPath;
  result.outcome = !ctx.ui.AskOkCancel(question, Gbk(msg::kAppTitle))
                       ? Outcome::kCancelled
                       : ImportCoverFile(started->folders.musicDir, songId, gbkJpegPath, ctx.ui, ctx.history);
  return result;
}

}  // namespace vx
