#include "archive/image_export.h"

#include <filesystem>

#include "archive/archive_reader.h"
#include "io/file_io.h"
#include "io/random_access_file.h"
#include "messages.h"
#include "text/file_name.h"
#include "text/gbk.h"
#include "text/native_path.h"

namespace vx {

bool NameTaken(std::string_view gbkPath) {
  // Asks about the name itself, not what it points to: a dangling link is a taken name too.
  std::error_code ec;
  return std::filesystem::symlink_status(NativePath(gbkPath), ec).type() != std::filesystem::file_type::not_found;
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
  for (const EntryRow& row : selectedRows) {
    // The archive is opened once per row and serves the frame count and every frame.
    auto file = OpenArchiveFile(gbkArchivePath);
    if (!file) continue;
    std::optional<std::string> failure;
    if (IsImageEntryName(row.name)) {
      const auto frameCount = ReadFrameCount(*file, row.directoryIndex);
      const int frames = frameCount ? *frameCount : 0;  // a damaged entry exports nothing
      for (int k = 1; k <= frames && !failure; ++k) {
        const auto frame = DecodeFrame(*file, row.directoryIndex, k, frames);
        if (!frame) continue;
        const auto name = NextExportName(gbkImageDir, row.name);
        if (!name) {
          failure = Gbk(msg::kExportNamesUsedUp) + row.name;
          break;
        }
        if (WriteNewFileExclusive(*name, frame->bmp) == NewFileResult::kWritten)
          ++report.filesWritten;
        else
          failure = Gbk(msg::kExportWriteFailed) + *name;
      }
    }
    if (failure) {
      ++report.rowsFailed;
      io.ShowMessage(*failure, caption);
    } else {
      ++report.rowsDone;
      io.ShowMessage(Gbk(msg::kExportDone), caption);
    }
  }
  return report;
}

}  // namespace vx
