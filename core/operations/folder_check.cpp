#include "core/operations/folder_check.h"

#include "core/io/file_io.h"
#include "core/operations/operation_support.h"

namespace vx {

bool MusicFolderReady(OperationContext& ctx) {
  OperationResult result;
  const auto started = StartOperation(ctx, detail::kNeedMusic, {}, result);
  if (!started) return false;
  if (DirectoryExists(started->folders.musicDir)) return true;
  detail::Say(ctx.ui, msg::kCheckFolders);
  return false;
}

}  // namespace vx
