#pragma once
// File access by GBK path. Every read is bounded by the file's real length; every write that replaces a
// file goes through a temporary file beside it, so a crash never leaves a half-written file.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
  std::optional<std::size_t> ReadPrefix(std::string_view gbkName, std::span<std::uint8_t> buffer);

 private:
  std::string m_folder;
  int m_handle = -1;
};

// The whole file; empty optional when it cannot be opened or read.
std::optional<Bytes> ReadWholeFile(std::string_view gbkPath);

// `length` bytes at `offset`, fewer when the file ends first. Empty optional when it cannot be opened.
std::optional<Bytes> ReadFileRange(std::string_view gbkPath, std::uint64_t offset, std::size_t length);

// Size in bytes, or empty when the file cannot be examined.
std::optional<std::uint64_t> FileSize(std::string_view gbkPath);

bool FileExists(std::string_view gbkPath);
bool DirectoryExists(std::string_view gbkPath);

// Creates the file or replaces it, plain (no temporary): for new output files such as lists and exports.
bool WriteNewFile(std::string_view gbkPath, std::span<const std::uint8_t> bytes);

// Replaces an existing file so that at every moment either the old or the new content is in place: the
// bytes go to a temporary file in the same folder, are flushed to disk, and the temporary is renamed over
// the target. On failure the target is untouched and the temporary is removed.
bool ReplaceFileAtomically(std::string_view gbkPath, std::span<const std::uint8_t> bytes);

// Test seam: when set, ReplaceFileAtomically fails after writing this many bytes of the temporary file.
void SetReplaceFailureAfterBytesForTesting(std::optional<std::size_t> bytes);

// Writes `bytes` at `offset` of an existing file without creating or truncating it.
bool WriteInPlace(std::string_view gbkPath, std::uint64_t offset, std::span<const std::uint8_t> bytes);

}  // namespace vx
