#pragma once
// Moving a song file to another folder, and the desktop trash for callers without one of their own.

#include <optional>
#include <string_view>

namespace vx {

enum class MoveResult {
  kMoved,
  kTargetExists,  // only without `replace`: nothing was touched
  kFailed,        // the source is still in place; the target is unchanged or absent
};

// Moves a file to `gbkTarget`. Within one file system this is a rename. Across file systems the bytes are
// copied to a temporary file beside the target, flushed, renamed into place, and only then is the source
// deleted, so a failure at any point leaves the source whole. Without `replace` an existing target is
// never overwritten, not even by a file that appears while the move runs.
MoveResult MoveFileTo(std::string_view gbkSource, std::string_view gbkTarget, bool replace);

// Test seams: take the copying path even within one file system, and make that copy fail after this
// many bytes.
void SetForceCopyingMoveForTesting(bool force);
void SetCopyFailureAfterBytesForTesting(std::optional<std::size_t> bytes);

// Moves a file into the freedesktop.org trash of the user ($XDG_DATA_HOME/Trash, else
// ~/.local/share/Trash): the file goes to Trash/files under a free name and Trash/info gets the matching
// .trashinfo with the original path and the time, so a file manager can restore it. False when the file
// stays where it was.
bool MoveToDesktopTrash(std::string_view gbkPath);

}  // namespace vx
