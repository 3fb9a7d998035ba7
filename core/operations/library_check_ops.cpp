#include "core/operations/library_check_ops.h"

#include <chrono>
#include <filesystem>

#include "core/io/file_move.h"
#include "core/io/file_rewrite.h"
#include "core/messages.h"
#include "core/operations/operation_support.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"

namespace vx {

LeftoversResult RemoveLeftoverTemporaries(OperationContext& ctx, const LibraryReport& report) {
  namespace fs = std::filesystem;
  LeftoversResult result;
  const auto started = StartOperation(ctx, detail::kNeedMusic | detail::kWrites, {}, result);
  if (!started) return result;
  const std::string& gbkMusicDir = started->folders.musicDir;
  std::vector<std::string>& kept = result.kept;
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
  ctx.ui.ShowMessage(text, Gbk(msg::kAppTitle));
  return Finished(result, kept.empty() ? Outcome::kDone : Outcome::kFailed);
}

CheckLibraryResult OnCheckLibrary(OperationContext& ctx) {
  CheckLibraryResult result;
  const auto started = StartOperation(ctx, detail::kNeedMusic, {}, result);
  if (!started) return result;
  result.report = CheckLibrary(started->folders.musicDir);
  return Finished(result, Outcome::kDone);
}

}  // namespace vx
