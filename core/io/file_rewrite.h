#pragma once
// Rewriting an existing file (a chart) so that nothing can tear it or lose a change made at the same time.

#include <functional>
#include <string_view>

#include "core/io/file_io.h"

namespace vx {

enum class RewriteStatus {
  kRewritten,
  kDeclined,      // `change` returned false: the file is as it was
  kMissing,       // no such file
  kReadOnly,      // marked read-only (no write permission bit at all, or a read-only file system)
  kNoPermission,  // the person may not write it, or may not create a file beside it
  kBusy,          // another program kept it locked for too long
  kFailed,        // not a regular file, or a read, write, flush or rename failed: the file is as it was
};

// Reads the file and hands its bytes to `change`, which edits them in place and returns true to write
// them. The new bytes go to a temporary file beside the file (beside the file a symbolic link points to,
// so the link stays a link), flushed, with the old permission bits, then renamed over it: at every moment
// the old or the new content is in place. An exclusive lock is held from the read to the rename, so two
// organizers rewriting the same file at once take turns, and the second sees the first one's change
// (POSIX: an advisory lock on the file itself; Windows: a named mutex for its final path).
RewriteStatus RewriteFile(std::string_view gbkPath, const std::function<bool(Bytes&)>& change);

// The marker of the temporary files the rewrite (and a move across file systems) writes beside their
// target: "<name>.vxtmp-<letters>". A file with this marker left behind is the trace of a killed process.
inline constexpr std::string_view kTemporaryMarker = ".vxtmp-";

}  // namespace vx
