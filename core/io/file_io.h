#pragma once
// File access by GBK path. Every read is bounded by the file's real length; every write that replaces a
// file goes through a temporary file beside it, so a crash never leaves a half-written file.
//
// Readers open without blocking and take only regular files (a symbolic link to one is fine): a pipe,
// socket or device under a song's name reads as a file that cannot be opened, so nothing ever waits on
// one.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/file_handle.h"

namespace vx {

using Bytes = std::vector<std::uint8_t>;

// Up to `maxBytes` from the start of the file, in one read. Empty optional when it cannot be opened.
std::optional<Bytes> ReadFilePrefix(std::string_view gbkPath, std::size_t maxBytes);

// Reads the starts of many files in one folder. The folder is resolved once, not once per file, which is
// most of what a scan of thousands of charts costs.
class FolderReader {
 public:
  explicit FolderReader(std::string_view gbkFolder);
  ~FolderReader();
  FolderReader(const FolderReader&) = delete;
  FolderReader& operator=(const FolderReader&) = delete;

  // Up to buffer.size() bytes from the start of `name` (a plain name inside the folder) in one read.
  // Returns the count read, or empty when the file cannot be opened or read.
  // `listedRegular`: the folder's listing said it is a regular file, so it is not looked at again.
  std::optional<std::size_t> ReadPrefix(std::string_view gbkName, std::span<std::uint8_t> buffer,
                                        bool listedRegular = false);

 private:
  std::string m_folder;
  platform::File m_folderHandle;  // none where the platform has no lookups inside an open folder
};

// The whole file; empty optional when it cannot be opened or read.
std::optional<Bytes> ReadWholeFile(std::string_view gbkPath);

// `length` bytes at `offset`, fewer when the file ends first. Empty optional when it cannot be opened.
std::optional<Bytes> ReadFileRange(std::string_view gbkPath, std::uint64_t offset, std::size_t length);

// Whether a file can be opened for reading, and if not, the reason a person can do something about.
// kInUse: another program holds it open without sharing it (Windows); kNoPermission: it is not the
// person's to read; kOther: anything else, a name that holds no regular file too.
enum class ReadAccess { kReadable, kMissing, kInUse, kNoPermission, kOther };
ReadAccess ReadAccessOf(std::string_view gbkPath);

// Size in bytes, or empty when the file cannot be examined.
std::optional<std::uint64_t> FileSize(std::string_view gbkPath);

bool FileExists(std::string_view gbkPath);
bool DirectoryExists(std::string_view gbkPath);

// What a name leads to, following a symbolic link. kOther is a pipe, socket or device (or, on Windows,
// anything that is not a disk file): it exists, but no reader here opens it.
enum class PathKind { kMissing, kRegularFile, kFolder, kOther };
PathKind KindOfPath(std::string_view gbkPath);
// Whether something has the name but no regular file is reached through it: a link to a drive that is
// not mounted, a pipe. A song whose music is such a name is there, but cannot be carried whole.
bool NameWithoutFile(std::string_view gbkPath);

enum class OutputResult {
  kWritten,
  kExists,      // only with kKeepExisting: something has that name, and it is left alone
  kLink,        // the name is a symbolic link (on Windows any reparse point): refused, nothing written
  kNotRegular,  // the name is a folder, a pipe, a device...: refused, nothing written
  kFailed,      // could not be written; whatever had the name is unchanged and no temporary is left
};
enum class OutputMode {
  kReplace,       // an existing regular file is replaced (its permission bits are kept)
  kKeepExisting,  // an existing name is never replaced, not even one that appears during the write
};

// Hands an output file's bytes to the writer, piece by piece; a false from either side abandons the file.
using OutputChunkWriter = std::function<bool(std::span<const std::uint8_t>)>;
using OutputProducer = std::function<bool(const OutputChunkWriter&)>;

// Every file the program makes (lists, song texts, the game list, covers, frames, background archives, a
// new REC.re) is written here: the bytes go to a temporary file beside the target, are flushed, and the
// temporary is renamed onto the name, so after any failure, a crash included, the name holds its old
// bytes, nothing, or the complete new bytes. The last name of the path is never followed: a symbolic
// link there is refused, as is anything but a regular file, so an output can never land outside the
// folder it names. Folders on the way are followed as usual.
OutputResult WriteOutputFile(std::string_view gbkPath, const OutputProducer& produce,
                             OutputMode mode = OutputMode::kReplace);
inline OutputResult WriteOutputFile(std::string_view gbkPath, std::span<const std::uint8_t> bytes,
                                    OutputMode mode = OutputMode::kReplace) {
  return WriteOutputFile(
      gbkPath, [bytes](const OutputChunkWriter& write) { return write(bytes); }, mode);
}

}  // namespace vx
