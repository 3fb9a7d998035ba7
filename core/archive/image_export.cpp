#include "core/archive/image_export.h"

#include <algorithm>
#include <filesystem>

#include "core/archive/archive_reader.h"
#include "core/io/file_io.h"
#include "core/messages.h"
#include "core/text/file_name.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"

namespace vx {

bool NameTaken(std::string_view gbkPath) {
  // Asks about the name itself, not what it points to: a dangling link is a taken name too.
  std::error_code ec;
  return std::filesystem::symlink_status(NativePath(gbkPath), ec).type() !=
         std::filesystem::file_type::not_found;
}

std::optional<std::string> NextExportName(std::string_view gbkImageDir, std::string_view gbkEntryName) {
  const std::string stem = JoinPath(gbkImageDir, MakeFileNameSafe(gbkEntryName));
  for (int n = 0; n < kExportNamesPerEntry; ++n) {
    std::string candidate = stem + std::to_string(n) + ".bmp";
    if (!NameTaken(candidate)) return candidate;
  }
  return std::nullopt;
}

ExportReport ExportImages(std::string_view gbkArchivePath, std::string_view gbkImageDir,
                          std::span<const EntryRow> selectedRows, Interaction& io) {
  ExportReport report;
  const std::string caption = Gbk(msg::kArchiveTitle);
  if (gbkImageDir.empty()) {
    io.ShowMessage(Gbk(msg::kCheckImageFolder), caption);
    return report;
  }
  std::vector<std::string> rowTexts;      // one per row, as a single row says it
  std::vector<std::string> gaveNothing;   // rows that wrote no file, by name
  std::vector<std::string> failureTexts;  // what stopped or thinned out each row that failed
  for (const EntryRow& row : selectedRows) {
    std::optional<std::string> failure;    // what stopped the row
    std::vector<std::string> notExported;  // what it passed over: the archive, the entry or single frames
    const int writtenBefore = report.filesWritten;
    // The archive is opened once per row and serves the frame count and every frame.
    auto file = OpenArchiveFile(gbkArchivePath);
    if (!file) {
      notExported.push_back(ArchiveErrorTextGbk({ArchiveError::kCannotOpen, 0}));
    } else if (IsImageEntryName(row.name)) {
      const auto frameCount = ReadFrameCount(*file, row.directoryIndex);
      if (!frameCount) notExported.push_back(ArchiveErrorTextGbk(frameCount.Error()));
      const int frames = frameCount ? *frameCount : 0;
      // Frame 1 is asked for even when the entry claims none, so an entry that holds nothing says why.
      for (int k = 1; k <= std::max(frames, 1) && !failure && frameCount; ++k) {
        const auto frame = DecodeFrame(*file, row.directoryIndex, k, frames);
        if (!frame) {
          notExported.push_back(Gbk(msg::kExportFrameBefore) + std::to_string(k) +
                                Gbk(msg::kExportFrameAfter) + ArchiveErrorTextGbk(frame.Error()));
          continue;
        }
        const auto name = NextExportName(gbkImageDir, row.name);
        if (!name) {
          failure = Gbk(msg::kExportNamesUsedUp) + row.name;
          break;
        }
        // Never over an existing name: one that appeared since the probe is a failure, not a victim.
        const OutputResult written = WriteOutputFile(*name, frame->bmp, OutputMode::kKeepExisting);
        if (written == OutputResult::kWritten)
          ++report.filesWritten;
        else
          failure = Gbk(msg::kExportWriteFailed) + *name;
      }
    }
    if (report.filesWritten == writtenBefore) gaveNothing.push_back(row.name);
    if (!failure && notExported.empty()) {
      ++report.rowsDone;
      rowTexts.push_back(Gbk(msg::kExportDone));
      continue;
    }
    ++report.rowsFailed;
    std::string text = failure.value_or(std::string());
    if (!notExported.empty())
      text += (text.empty() ? "" : "\n") +
              MessageWithLines(row.name + Gbk(msg::kExportRowIncomplete), notExported);
    rowTexts.push_back(text);
    failureTexts.push_back(std::move(text));
  }
  if (selectedRows.size() == 1) {
    io.ShowMessage(rowTexts.front(), caption);
  } else if (selectedRows.size() > 1) {
    // One box for the whole selection: a box per entry, most of them alike, hides the one that failed.
    std::string summary = Gbk(msg::kExportSummaryBefore) + std::to_string(report.filesWritten) +
                          Gbk(msg::kExportSummaryMiddle) + std::to_string(selectedRows.size()) +
                          Gbk(msg::kExportSummaryAfter);
    if (!gaveNothing.empty()) summary += "\n" + MessageWithLines(Gbk(msg::kExportGaveNothing), gaveNothing);
    for (const std::string& text : failureTexts) summary += "\n" + text;
    io.ShowMessage(summary, caption);
  }
  return report;
}

}  // namespace vx
