#include "core/operations/library_check_ops.h"

#include <chrono>
#include <filesystem>

#include "core/io/file_move.h"
#include "core/io/file_rewrite.h"
#include "core/messages.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"

namespace vx {

std::vector<std::string> RemoveLeftoverTemporaries(std::string_view gbkMusicDir, const LibraryReport& report,
                                                   Interaction& ui) {
  namespace fs = std::filesystem;
  std::vector<std::string> kept;
  std::size_t removed = 0;
  for (const LibraryFinding& f : report.findings) {
    if (f.kind != LibraryFinding::kLeftoverTemporary) continue;
    // The name is a plain name from the listing; one that could reach another folder is not ours.
    const bool plainName = f.fileName.find_first_of("/\\") == std::string::npos && f.fileName != "." &&
                           f.fileName != ".." && f.fileName.find(kTemporaryMarker) != std::string::npos;
    const std::string path = JoinPath(gbkMusicDir, f.fileName);
    std::error_code ec;
    const fs::path native = NativePath(path);
    const fs::file_status status = fs::symlink_status(native, ec);
    const auto written = fs::last_write_time(native, ec);
    const bool oldEnough =
        !ec && fs::file_time_type::clock::now() - written >= std::chrono::seconds(kLeftoverMinAgeSeconds);
    if (!plainName || !fs::is_regular_file(status) || !oldEnough || !RemoveFile(path))
      kept.push_back(f.fileName);
    else
      ++removed;
  }
  std::string text =
      Gbk(msg::kLeftoversRemovedBefore) + std::to_string(removed) + Gbk(msg::kLeftoversRemovedAfter);
  constexpr std::size_t kMaxLines = 20;
  if (!kept.empty()) text += "\n" + Gbk(msg::kLeftoversKept);
  for (std::size_t i = 0; i < kept.size() && i < kMaxLines; ++i) text += "\n" + kept[i];
  ui.ShowMessage(text, Gbk(msg::kAppTitle));
  return kept;
}

std::optional<LibraryReport> OnCheckLibrary(std::string_view gbkSettingsPath, Interaction& ui) {
  const auto musicDir = ReadFolder(gbkSettingsPath, FolderSlot::kMusic);
  if (!musicDir) return std::nullopt;
  if (musicDir->empty()) {
    ui.ShowMessage(Gbk(msg::kCheckFolders), Gbk(msg::kAppTitle));
    return std::nullopt;
  }
  return CheckLibrary(*musicDir);
}

}  // namespace vx
