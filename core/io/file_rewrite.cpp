// The locked rewrite through a temporary file, over the platform's lock and primitives.
#include "core/io/file_rewrite.h"

#include "core/io/temporary_file.h"
#include "core/platform/primitives.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

RewriteStatus StatusOf(platform::Failure failure) {
  switch (failure) {
    case platform::Failure::kMissing:
      return RewriteStatus::kMissing;
    case platform::Failure::kNoPermission:
      return RewriteStatus::kNoPermission;
    case platform::Failure::kReadOnly:
      return RewriteStatus::kReadOnly;
    case platform::Failure::kBusy:
    case platform::Failure::kInUse:
      return RewriteStatus::kBusy;
    default:
      return RewriteStatus::kFailed;
  }
}

}  // namespace

RewriteStatus RewriteFile(std::string_view gbkPath, const std::function<bool(Bytes&)>& change) {
  platform::HeldForRewrite held;
  if (const platform::Failure failure = platform::HoldForRewrite(NativePath(gbkPath), held);
      failure != platform::Failure::kNone)
    return StatusOf(failure);
  if (!change(held.bytes)) return RewriteStatus::kDeclined;

  // The new bytes beside the file, flushed, renamed over it: at every moment the old or the new content
  // is in place, and the lock goes only after the rename.
  TemporaryFile temp(held.real, held.inherit);
  if (!temp.Ok()) return StatusOf(temp.Failure());
  if (!temp.Finish(temp.Write(held.bytes)) ||
      temp.Publish(held.real, platform::RenameMode::kReplaceWhenFree) != platform::Failure::kNone) {
    temp.Abandon();
    return RewriteStatus::kFailed;
  }
  return RewriteStatus::kRewritten;
}

}  // namespace vx
