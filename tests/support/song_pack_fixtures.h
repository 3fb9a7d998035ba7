#pragma once
// Song packs as players download them, made from entry values: zip and 7z through libarchive's writer,
// and, since libarchive writes no rar, RAR 4 and RAR 5 archives of stored entries laid out by hand after
// the published format descriptions.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/io/file_io.h"

namespace vx::fixtures {

enum class PackFormat {
  kZipUtf8,  // names flagged UTF-8
  kZipGbk,   // names as GBK bytes without the flag, as a Chinese Windows writes them
  k7z,
  kRar4,
  kRar5,
};

struct PackEntry {
  std::string name;  // UTF-8, '/' between folders; written as GBK in a kZipGbk pack
  Bytes data;
  std::string symlink;     // when set, the entry is a link to this instead of a file (zip and 7z)
  bool encrypted = false;  // zip only: traditional PKWARE encryption
};

// The pack's bytes; none when this libarchive cannot write what was asked (encryption without crypto).
std::optional<Bytes> BuildPack(PackFormat format, const std::vector<PackEntry>& entries);

// A song's two entries in a pack folder ("" for the top): <folder>/<chartName> holding a chart made from
// `title`, and <folder>/<musicName> holding a few bytes.
std::vector<PackEntry> PackSongEntries(const std::string& folder, const std::string& chartName,
                                       const std::string& musicName, const std::string& title);

}  // namespace vx::fixtures
