// Moving, copying and removing files, and the all-or-nothing calls on a song's files, over the platform's
// primitives.
#include "core/io/file_move.h"

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/io/fault_injection.h"
#include "core/io/file_io.h"
#include "core/io/file_rewrite.h"
#include "core/io/temporary_file.h"
#include "core/platform/primitives.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

using platform::Failure;
using platform::Path;

bool g_forceCopy = false;

// Copies `in`, from its start, into `out`; false when a read or a write failed. `size`, when the opening
// told it, spares the read that would only find the end: a small file is one read and one write.
enum class Copied { kWhole, kFailed };
Copied CopyContent(const platform::File& in, const platform::File& out,
                   std::optional<std::uint64_t> size = {}) {
  thread_local std::vector<std::uint8_t> buffer(1 << 16);
  for (std::uint64_t offset = 0;;) {
    std::span<std::uint8_t> room(buffer);
    if (size && *size - std::min(offset, *size) < room.size())
      room = room.first(static_cast<std::size_t>(*size - std::min(offset, *size)));
    if (room.empty()) return Copied::kWhole;
    const auto n = platform::ReadAt(in, offset, room);
    if (!n) return Copied::kFailed;
    if (*n == 0) return Copied::kWhole;
    if (!platform::Write(out, room.first(*n))) return Copied::kFailed;
    offset += *n;
    if (*n < room.size()) return Copied::kWhole;  // a read stops short only at the end
  }
}

// A flushed copy of `in` in a new temporary file beside `target`, with its permission bits (and, for a
// move, its times); its path, or none with nothing left behind.
std::optional<Path> CopyToTemporary(const platform::File& in, const Path& target, bool keepTimes,
                                    bool flush = true) {
  TemporaryFile temp(target, platform::PermissionsOf(in));
  if (!temp.Ok()) return std::nullopt;
  const bool ok = CopyContent(in, temp.File()) == Copied::kWhole;
  if (ok && keepTimes) platform::CopyTimes(in, temp.File());
  if (!temp.Finish(ok, flush)) {
    temp.Abandon();
    return std::nullopt;
  }
  return temp.Path();
}

// The move across file systems: the source is deleted only once a complete, flushed copy has its name.
MoveResult CopyThenDelete(const Path& source, const Path& target, bool replace) {
  platform::File in = platform::OpenRegularForReading(source);
  if (!in.Ok()) return MoveResult::kFailed;
  if (!replace && platform::NameTaken(target)) return MoveResult::kTargetExists;
  // The same file seen through another mount or name (a bind mount renames with EXDEV too): copying it
  // over itself and then deleting the source would delete the only copy.
  if (platform::SameFile(in, target)) return MoveResult::kFailed;

  const auto temp = CopyToTemporary(in, target, /*keepTimes=*/true);
  if (!temp) return MoveResult::kFailed;
  const Failure renamed = platform::Rename(
      *temp, target, replace ? platform::RenameMode::kReplace : platform::RenameMode::kKeepOrLookFirst);
  if (renamed != Failure::kNone) {
    platform::Remove(*temp);
    return renamed == Failure::kExists ? MoveResult::kTargetExists : MoveResult::kFailed;
  }
  platform::SyncFolderOf(target);
  in.Close();  // Windows lets a file go only once nothing holds it open
  if (platform::Remove(source) != Failure::kNone) {
    // The source cannot go, so this is no move: take the copy back rather than leave the song twice.
    platform::Remove(target);
    return MoveResult::kFailed;
  }
  return MoveResult::kMoved;
}

}  // namespace

MoveResult MoveNativeFile(const Path& source, const Path& target, bool replace) {
  if (!g_forceCopy) {
    const Failure renamed = platform::Rename(
        source, target, replace ? platform::RenameMode::kReplace : platform::RenameMode::kKeepOrLookFirst);
    if (renamed == Failure::kNone) return MoveResult::kMoved;
    if (renamed == Failure::kExists) return MoveResult::kTargetExists;
    if (renamed != Failure::kOtherDevice) return MoveResult::kFailed;
  }
  return CopyThenDelete(source, target, replace);
}

MoveResult MoveFileTo(std::string_view gbkSource, std::string_view gbkTarget, bool replace) {
  return MoveNativeFile(NativePath(gbkSource), NativePath(gbkTarget), replace);
}

bool RemoveFile(std::string_view gbkPath) {
  const Path path = NativePath(gbkPath);
  const Failure removed = platform::Remove(path);
  return removed == Failure::kNone || (removed == Failure::kMissing && !platform::NameTaken(path));
}

std::optional<std::string> CopyBeside(std::string_view gbkSource, std::string_view gbkTarget, bool flush) {
  const platform::File in = platform::OpenRegularForReading(NativePath(gbkSource));
  if (!in.Ok()) return std::nullopt;
  // A copy is a new file: with the source's old time, a leftover clean-up running beside us would take it
  // for the trace of a killed run.
  const auto temp = CopyToTemporary(in, NativePath(gbkTarget), /*keepTimes=*/false, flush);
  if (!temp) return std::nullopt;
  return GbkPath(*temp);
}

CopyResult CopyToNewFile(std::string_view gbkSource, std::string_view gbkName, std::size_t peekBytes,
                         const std::function<bool(std::span<const std::uint8_t>)>& accept) {
  std::uint64_t size = 0;
  platform::Inherit inherit;
  const platform::File in = platform::OpenRegularForReading(NativePath(gbkSource), &size, nullptr, &inherit);
  if (!in.Ok()) return CopyResult::kFailed;
  if (accept) {
    std::vector<std::uint8_t> head(static_cast<std::size_t>(std::min<std::uint64_t>(size, peekBytes)));
    const auto got = platform::ReadAt(in, 0, head);
    if (!got) return CopyResult::kFailed;
    head.resize(*got);
    if (!accept(head)) return CopyResult::kRefused;
  }
  const Path name = NativePath(gbkName);
  platform::File out;
  if (platform::CreateNew(name, inherit, out) != Failure::kNone) return CopyResult::kFailed;
  // Inside the kernel where it can (a thousand songs are two thousand files), else through the program.
  platform::KernelCopy copied = platform::CopyInKernel(in, out, size);
  if (copied == platform::KernelCopy::kUnsupported)
    copied = CopyContent(in, out, size) == Copied::kWhole ? platform::KernelCopy::kDone
                                                          : platform::KernelCopy::kFailed;
  if (out.Close() && copied == platform::KernelCopy::kDone) return CopyResult::kCopied;
  platform::Remove(name);
  return CopyResult::kFailed;
}

std::string NewTemporaryNameBeside(std::string_view gbkTarget) {
  return GbkPath(NewTemporaryName(NativePath(gbkTarget)));
}

bool FlushCopies(const std::vector<std::string>& gbkPaths) {
  std::vector<Path> paths;
  for (const std::string& gbk : gbkPaths) paths.push_back(NativePath(gbk));
  return paths.empty() || platform::FlushFiles(paths);
}

bool CreateNativeFolders(const Path& folder) {
  std::error_code ec;
  if (std::filesystem::is_directory(folder, ec)) return true;
  if (FaultInjected(FsCall::kMakeFolder)) return false;
  std::filesystem::create_directories(folder, ec);
  return std::filesystem::is_directory(folder, ec);
}

bool CreateFolders(std::string_view gbkPath) {
  return CreateNativeFolders(NativePath(gbkPath));
}

void SetForceCopyingMoveForTesting(bool force) {
  g_forceCopy = force;
}

AllOrNone MoveFilesTo(const std::vector<std::string>& gbkSources,
                      const std::vector<std::string>& gbkTargets) {
  for (std::size_t i = 0; i < gbkSources.size(); ++i) {
    if (MoveFileTo(gbkSources[i], gbkTargets[i], /*replace=*/false) == MoveResult::kMoved) continue;
    // Back the way they came, last first; a name taken meanwhile is not overwritten.
    bool undone = true;
    for (std::size_t k = i; k-- > 0;)
      undone = MoveFileTo(gbkTargets[k], gbkSources[k], /*replace=*/false) == MoveResult::kMoved && undone;
    return undone ? AllOrNone::kNone : AllOrNone::kPartial;
  }
  return AllOrNone::kAll;
}

AllOrNone DeleteFiles(const std::vector<std::string>& gbkPaths) {
  // The renames are the step that can be taken back. Once every file has its new name the song is out of
  // the game's sight whatever happens next.
  std::vector<std::string> staged;
  for (const std::string& path : gbkPaths) {
    // A name left by an earlier delete that could not finish must not block this one.
    std::string name = path + std::string(kTemporaryMarker) + "deleted";
    for (int n = 2; FileExists(name) && n < 1000; ++n)
      name = path + std::string(kTemporaryMarker) + "deleted" + std::to_string(n);
    staged.push_back(std::move(name));
  }
  if (const AllOrNone renamed = MoveFilesTo(gbkPaths, staged); renamed != AllOrNone::kAll) return renamed;
  bool all = true;
  for (const std::string& path : staged) {
    // One more try: a removal that fails once (a virus scanner, a busy network share) often goes through.
    if (!RemoveFile(path) && !RemoveFile(path)) all = false;
  }
  return all ? AllOrNone::kAll : AllOrNone::kPartial;
}

namespace {

// What this program trashed lately, so a step that fails after a trash can take it back.
std::mutex g_recentMutex;
std::vector<platform::TrashedFile> g_recent;
constexpr std::size_t kRecentKept = 64;

Path AbsolutePath(std::string_view gbkPath) {
  std::error_code ec;
  return std::filesystem::absolute(NativePath(gbkPath), ec).lexically_normal();
}

}  // namespace

AllOrNone MoveFilesToTrash(const std::vector<std::string>& gbkPaths) {
  std::vector<Path> paths;
  for (const std::string& gbk : gbkPaths) {
    paths.push_back(AbsolutePath(gbk));
    if (!platform::SureToTrash(paths.back())) return AllOrNone::kNone;
  }
  std::vector<platform::TrashedFile> trashed;
  for (const Path& path : paths) {
    if (auto entry = platform::Trash(path)) {
      trashed.push_back(std::move(*entry));
      continue;
    }
    bool undone = true;
    for (auto it = trashed.rbegin(); it != trashed.rend(); ++it) undone = platform::Untrash(*it) && undone;
    return undone ? AllOrNone::kNone : AllOrNone::kPartial;
  }
  std::lock_guard lock(g_recentMutex);
  g_recent.insert(g_recent.end(), trashed.begin(), trashed.end());
  if (g_recent.size() > kRecentKept) g_recent.erase(g_recent.begin(), g_recent.end() - kRecentKept);
  return AllOrNone::kAll;
}

bool RestoreFromTrash(const std::vector<std::string>& gbkPaths) {
  std::vector<platform::TrashedFile> wanted;
  {
    std::lock_guard lock(g_recentMutex);
    for (const std::string& gbk : gbkPaths) {
      const Path original = AbsolutePath(gbk);
      const auto it = std::find_if(g_recent.rbegin(), g_recent.rend(), [&](const platform::TrashedFile& e) {
        return e.original.native() == original.native();
      });
      if (it == g_recent.rend()) return false;
      wanted.push_back(*it);
    }
  }
  std::vector<platform::TrashedFile> restored;
  for (const platform::TrashedFile& entry : wanted) {
    if (platform::Untrash(entry)) {
      restored.push_back(entry);
      continue;
    }
    // All or none: what came back goes into the trash again, under the names it had there.
    for (const platform::TrashedFile& back : restored) MoveNativeFile(back.original, back.file, false);
    return false;
  }
  std::lock_guard lock(g_recentMutex);
  std::erase_if(g_recent, [&](const platform::TrashedFile& e) {
    return std::any_of(restored.begin(), restored.end(),
                       [&](const platform::TrashedFile& r) { return r.file.native() == e.file.native(); });
  });
  return true;
}

}  // namespace vx
