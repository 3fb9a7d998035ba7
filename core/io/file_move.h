#pragma once
// Moving song files to another folder or to the trash, and deleting them. A song is its chart and its
// music file, so besides single files there are calls for the files of one song that do all or nothing.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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

// Removes one file for good. False when it is still there.
bool RemoveFile(std::string_view gbkPath);

// Copies a regular file to a new temporary file beside `gbkTarget` ("<target>.vxtmp-<letters>"), flushed,
// and returns its path; empty when it could not, and then no temporary is left. The caller renames it
// into place (MoveFilesTo) or removes it. Without `flush` the caller flushes a batch of copies at once
// (FlushCopies) before renaming any.
std::optional<std::string> CopyBeside(std::string_view gbkSource, std::string_view gbkTarget,
                                      bool flush = true);
// Copies a regular file to a new file made under `gbkName` (never over a name that is taken, never
// through a link) with its permission bits, unflushed: the caller flushes a batch at once (FlushCopies).
// Given `accept`, its first `peekBytes` (fewer where it is shorter) are shown to it first, through the
// same open file, and it may refuse the copy. Nothing is left under the name unless it was copied whole.
enum class CopyResult { kCopied, kRefused, kFailed };
CopyResult CopyToNewFile(std::string_view gbkSource, std::string_view gbkName, std::size_t peekBytes = 0,
                         const std::function<bool(std::span<const std::uint8_t>)>& accept = {});
// The name a temporary beside `gbkTarget` would get, for a caller that writes it down before the file is
// made (CopyToNewFile makes it).
std::string NewTemporaryNameBeside(std::string_view gbkTarget);

// Makes the bytes of the copies durable in one pass: one flush of their file system where the platform
// has one, else each file in turn. False when that cannot be promised.
bool FlushCopies(const std::vector<std::string>& gbkPaths);

// Makes a folder and the folders above it that are missing. False when it is not a folder afterwards.
bool CreateFolders(std::string_view gbkPath);

// MoveFileTo and CreateFolders by native paths, for the trash, whose folder GBK may not spell.
MoveResult MoveNativeFile(const std::filesystem::path& source, const std::filesystem::path& target,
                          bool replace);
bool CreateNativeFolders(const std::filesystem::path& folder);

// Test seam: take the copying path even within one file system.
void SetForceCopyingMoveForTesting(bool force);

// How a call on the files of one song ended.
enum class AllOrNone {
  kAll,      // every file was handled
  kNone,     // every file is where it was
  kPartial,  // a step failed and so did undoing the steps before it: some files are handled, some not
};

// Moves each of `gbkSources` to the target of the same position, never replacing a file. When one cannot
// move, the files already moved are moved back.
AllOrNone MoveFilesTo(const std::vector<std::string>& gbkSources, const std::vector<std::string>& gbkTargets);

// Moves the files to the desktop's trash: the freedesktop.org trash of the user ($XDG_DATA_HOME/Trash,
// else ~/.local/share/Trash, each file with its .trashinfo, so a file manager can restore it), the
// recycle bin on Windows. When one cannot go, the ones already in the trash are brought back (on
// Windows, where the recycle bin gives nothing back, every file is first checked to be removable).
AllOrNone MoveFilesToTrash(const std::vector<std::string>& gbkPaths);

// Brings files this program moved to the trash back to where they were (`gbkPaths` are the places they
// had), all of them or none; never over a file that has taken a name meanwhile. False when it cannot, as
// always on Windows, whose recycle bin gives nothing back by name.
bool RestoreFromTrash(const std::vector<std::string>& gbkPaths);

// Deletes the files for good. Each is first renamed beside itself, which is undone when one cannot be,
// so a song never loses one file and keeps the other.
AllOrNone DeleteFiles(const std::vector<std::string>& gbkPaths);

// One file to the trash; false when it stays where it was.
inline bool MoveToDesktopTrash(std::string_view gbkPath) {
  return MoveFilesToTrash({std::string(gbkPath)}) == AllOrNone::kAll;
}

}  // namespace vx
