#pragma once
// The calls whose spelling differs between POSIX systems and Windows, and nothing else: every algorithm
// built from them (the reads, output files, the locked rewrite, moves across file systems, the all-or-none
// calls on a song's files) is written once above them, in core/io. Paths here are native; a GBK path
// crosses into one (NativePath) above.
//
// Besides these, each platform defines directly the stat-like calls of core/io/file_io.h (FileSize,
// FileExists, DirectoryExists, KindOfPath), ListFolderNames, NativePath and GbkPath, Utf8FromGbk, and the
// trash below.
//
// Every call here that changes the file system asks FaultInjected first, as it did when each platform
// wrote its own algorithms, so the fault walk fails each of them in turn.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/file_io.h"
#include "core/platform/file_handle.h"

namespace vx::platform {

using Path = std::filesystem::path;

// Why a call failed, as far as any caller tells the cases apart (errno on POSIX systems, the last error
// on Windows). kInUse: another program holds the file open without sharing it (Windows only).
enum class Failure {
  kNone,
  kMissing,
  kExists,
  kOtherDevice,
  kNoPermission,
  kReadOnly,
  kBusy,
  kInUse,
  kOther
};

// What a new file takes over from the file it stands in for.
struct Inherit {
  std::optional<std::uint32_t> bits;          // POSIX: permission bits; Windows: hidden, system, archive
  std::optional<std::uint32_t> owner, group;  // POSIX: kept where the program may give a file away (root)
};
// Reading. Nothing here waits on a pipe, takes a terminal or reads a device: only regular files open.

// A regular file opened for reading without blocking (and, given `size`, its length; given `inherit`,
// what a copy of it takes over, as PermissionsOf says, from the same look at it), or none; then `why`,
// when given, says why (kOther for a name that holds no regular file).
File OpenRegularForReading(const Path& path, std::uint64_t* size = nullptr, Failure* why = nullptr,
                           Inherit* inherit = nullptr);
// A folder held open so names in it are found without resolving the folder again; none where the
// platform has no such lookups (Windows), and callers then join the folder and the name.
File OpenFolderForLookups(const Path& folder);
// `name` inside a folder from OpenFolderForLookups, as OpenRegularForReading opens it.
File OpenRegularInFolder(const File& folder, const Path& name);
// `name` inside a folder from OpenFolderForLookups, which the folder's listing called a regular file:
// opened without looking again (a scan of thousands of charts saves a call per chart), still without
// blocking and without following a link. None where the platform has no such lookups.
File OpenListedRegularInFolder(const File& folder, const Path& name);
// Up to out.size() bytes at `offset`, fewer only where the file ends; the count, or none on an error.
std::optional<std::size_t> ReadAt(const File& file, std::uint64_t offset, std::span<std::uint8_t> out);

// What a name holds, without following a link at its last part. kUnknown: it cannot be looked at.
enum class NameKind { kMissing, kRegular, kLink, kOther, kUnknown };
NameKind KindOfName(const Path& path);
// Whether anything (a dangling link too) has the name.
bool NameTaken(const Path& path);
// Opens an existing name the way an in-place write would have (for writing, without following a link)
// and tells what it turned out to be: kRegular (and `opened` holds it), or kLink, kOther or kUnknown.
NameKind OpenForReplace(const Path& path, File& opened);
// Whether `path`, followed, is the very file `opened` is (one file seen through two names or mounts).
bool SameFile(const File& opened, const Path& path);

// New files.

// The permission bits of an open file, for a copy of it (nothing on Windows, where a new file takes the
// folder's access list).
Inherit PermissionsOf(const File& file);
// Creates `path` as a new, empty regular file for writing; never an existing name and never through a
// link. kExists when the name is taken.
Failure CreateNew(const Path& path, const Inherit& inherit, File& created);
bool Write(const File& file, std::span<const std::uint8_t> bytes);
// Copies `length` bytes of `in` from its start to `out` (just made, empty) inside the kernel, without
// bringing them into the program (copy_file_range), fewer where `in` ends sooner. kUnsupported, with
// nothing written, where the platform or the pair of file systems cannot: the caller reads and writes.
enum class KernelCopy { kDone, kUnsupported, kFailed };
KernelCopy CopyInKernel(const File& in, const File& out, std::uint64_t length);
// The bytes on the disk, not in a cache.
bool Flush(const File& file);
// The bytes of every file named on the disk: one flush of their file system where the platform has it
// (syncfs), else each file opened and flushed in turn. For a batch of new files before their renames.
bool FlushFiles(const std::vector<Path>& paths);
// Gives `to` the access and modification times of `from` (POSIX; Windows leaves a copy its own times).
void CopyTimes(const File& from, const File& to);

// Renames and removals.

enum class RenameMode {
  kReplace,
  // Replaces; on Windows a reader that has the target open for a moment (a scan, the game) makes the
  // rename fail, so it is tried again for up to two seconds.
  kReplaceWhenFree,
  // Never replaces, not even a name that appears meanwhile; where the file system can promise that
  // neither by the rename nor by a hard link, it fails. For a finished temporary file, whose own name may
  // stay behind when it cannot go (the library check lists it).
  kKeep,
  // Never replaces; where the file system has neither the no-replace rename nor hard links (a stick),
  // the name is looked at first and the small window accepted. For a song's file, which ends in one
  // place or the other.
  kKeepOrLookFirst,
};
// A rename within one file system: kOtherDevice when the two are on different ones.
Failure Rename(const Path& from, const Path& to, RenameMode mode);
// Makes a rename into the folder of `path` survive a crash.
void SyncFolderOf(const Path& path);
Failure Remove(const Path& path);

// The rewrite's lock and read.

// The lock a rewrite holds from its read to its rename (POSIX: flock on the file; Windows: a named mutex
// for its final path, since an open handle would stop the rename over it).
class RewriteLock {
 public:
  RewriteLock() = default;
  ~RewriteLock();
  RewriteLock(const RewriteLock&) = delete;
  RewriteLock& operator=(const RewriteLock&) = delete;
  // Takes over a lock just acquired: the locked file on POSIX systems, the owned mutex on Windows.
  void Hold(File held) { m_held = std::move(held); }

 private:
  File m_held;
};
// A file held for a rewrite: the file a link points to (the link itself stays), its bytes, what its
// replacement keeps, and the lock.
struct HeldForRewrite {
  Path real;
  Bytes bytes;
  Inherit inherit;
  RewriteLock lock;
};
// Resolves, checks, locks and reads the file; kNone when it is held. kReadOnly when it is marked so,
// kBusy when another organizer kept it locked too long, kOther when it is not a regular file or cannot
// be read.
Failure HoldForRewrite(const Path& path, HeldForRewrite& held);

// The trash.

struct TrashedFile {
  Path original, file, info;  // where it was; where it is in the trash and its info file, if any
};
// True where a trashed file can be taken back. Where it cannot (the recycle bin), whether this one is
// sure to go: so a song is checked whole before any of it goes.
bool SureToTrash(const Path& absolutePath);
std::optional<TrashedFile> Trash(const Path& absolutePath);
// Back to where it was, never over a name taken meanwhile; false where the trash gives nothing back.
bool Untrash(const TrashedFile& file);

// The person's own places and clock.

// $XDG_DATA_HOME (else ~/.local/share) on POSIX systems, %LOCALAPPDATA% on Windows; empty when none.
Path UserDataPath();
std::tm LocalTime(std::time_t when);

// Text.

// The GBK bytes the system's converter makes of a UTF-8 text; none when it refuses a character. A
// converter may also drop one without a word, so callers read the result back.
std::optional<std::string> EncodeGbk(std::string_view utf8);

// While one lives, a library that converts names through the C library's locale (libarchive) hands
// this thread UTF-8, whatever the process's locale (POSIX; nothing on Windows, where such a library
// converts through code pages straight to UTF-16).
class Utf8NamesOnThisThread {
 public:
  Utf8NamesOnThisThread();
  ~Utf8NamesOnThisThread();
  Utf8NamesOnThisThread(const Utf8NamesOnThisThread&) = delete;
  Utf8NamesOnThisThread& operator=(const Utf8NamesOnThisThread&) = delete;

 private:
  void* m_previous = nullptr;
  void* m_utf8 = nullptr;
};
// A wide text from such a library (UTF-32 on POSIX, UTF-16 on Windows) as UTF-8; none when it is not
// a valid text.
std::optional<std::string> Utf8FromWide(std::wstring_view wide);

}  // namespace vx::platform
