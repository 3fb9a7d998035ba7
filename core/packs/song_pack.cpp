#include "core/packs/song_pack.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <optional>
#include <utility>

#include "core/formats/chart_header.h"
#include "core/formats/song_files.h"
#include "core/io/temporary_file.h"
#include "core/platform/primitives.h"
#include "core/text/compare.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"

#if VX_HAVE_LIBARCHIVE
#include <archive.h>
#include <archive_entry.h>
#endif

namespace vx {
namespace {

bool EndsWithIgnoringCase(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && EqualsIgnoringAsciiCase(text.substr(text.size() - end.size()), end);
}

}  // namespace

bool IsSongPackName(std::string_view gbkPath) {
  return EndsWithIgnoringCase(gbkPath, ".zip") || EndsWithIgnoringCase(gbkPath, ".7z") ||
         EndsWithIgnoringCase(gbkPath, ".rar");
}

std::optional<std::uint64_t> FreeSpaceOf(const std::string& gbkFolder) {
  std::error_code ec;
  const auto space = std::filesystem::space(NativePath(gbkFolder.empty() ? "." : gbkFolder), ec);
  if (ec) return std::nullopt;
  return space.available;
}

#if VX_HAVE_LIBARCHIVE

bool SongPacksSupported() {
  return true;
}

namespace {

constexpr std::size_t kBlock = 64 * 1024;

// A pack opened for one pass over its entries. libarchive reads it through our own non-blocking open of
// a regular file, so a pipe or device named like a pack is refused instead of waited on, and seeks, so
// a zip is read by its central directory.
class PackReader {
 public:
  explicit PackReader(const std::string& gbkPack)
      : m_file(platform::OpenRegularForReading(NativePath(gbkPack), &m_size)), m_archive(archive_read_new()) {
    if (!m_file.Ok() || !m_archive) return;
    archive_read_support_format_zip(m_archive);
    archive_read_support_format_7zip(m_archive);
    archive_read_support_format_rar(m_archive);
    archive_read_support_format_rar5(m_archive);
    // Names in a zip without the UTF-8 flag come from a Chinese Windows: code page 936.
    archive_read_set_format_option(m_archive, "zip", "hdrcharset", "CP936");
    archive_read_set_callback_data(m_archive, this);
    archive_read_set_read_callback(m_archive, &PackReader::Read);
    archive_read_set_seek_callback(m_archive, &PackReader::Seek);
    archive_read_set_skip_callback(m_archive, &PackReader::Skip);
    m_open = archive_read_open1(m_archive) == ARCHIVE_OK;
  }
  ~PackReader() {
    if (m_archive) archive_read_free(m_archive);
  }
  PackReader(const PackReader&) = delete;
  PackReader& operator=(const PackReader&) = delete;

  bool Open() const { return m_open; }
  archive* Archive() const { return m_archive; }
  // Whether what failed was an encrypted header (a 7z or rar whose names are hidden too).
  bool Encrypted() const { return archive_read_has_encrypted_entries(m_archive) > 0; }

 private:
  static la_ssize_t Read(archive*, void* self, const void** out) {
    auto& r = *static_cast<PackReader*>(self);
    const auto n = platform::ReadAt(r.m_file, r.m_at, r.m_buffer);
    if (!n) return -1;
    r.m_at += *n;
    *out = r.m_buffer.data();
    return static_cast<la_ssize_t>(*n);
  }
  static la_int64_t Seek(archive*, void* self, la_int64_t offset, int whence) {
    auto& r = *static_cast<PackReader*>(self);
    const auto base = whence == SEEK_SET   ? 0
                      : whence == SEEK_CUR ? static_cast<la_int64_t>(r.m_at)
                                           : static_cast<la_int64_t>(r.m_size);
    const la_int64_t to = base + offset;
    if (to < 0) return ARCHIVE_FATAL;
    r.m_at = static_cast<std::uint64_t>(to);
    return to;
  }
  static la_int64_t Skip(archive*, void* self, la_int64_t request) {
    auto& r = *static_cast<PackReader*>(self);
    const std::uint64_t left = r.m_size > r.m_at ? r.m_size - r.m_at : 0;
    const auto n = std::min<std::uint64_t>(left, request > 0 ? static_cast<std::uint64_t>(request) : 0);
    r.m_at += n;
    return static_cast<la_int64_t>(n);
  }

  std::uint64_t m_size = 0, m_at = 0;
  platform::File m_file;
  archive* m_archive;
  std::array<std::uint8_t, kBlock> m_buffer{};
  bool m_open = false;
};

// An entry's name as GBK with '/' between its parts; a character GBK lacks is spelled as its code point.
std::string EntryName(archive_entry* entry) {
  std::optional<std::string> utf8;
  // UTF-8 straight from the pack's own charset where libarchive can give it; the wide name goes through
  // the locale (the ANSI code page on Windows), which may not hold the pack's characters.
  if (const char* direct = archive_entry_pathname_utf8(entry))
    utf8 = direct;
  else if (const wchar_t* wide = archive_entry_pathname_w(entry))
    utf8 = platform::Utf8FromWide(wide);
  std::string gbk;
  if (utf8)
    gbk = GbkShowingCodePoints(*utf8);
  else if (const char* raw = archive_entry_pathname(entry))
    gbk = raw;  // a name no converter took: its bytes, only ever shown
  std::replace(gbk.begin(), gbk.end(), '\\', '/');
  return gbk;
}

std::string FolderPart(std::string_view name) {
  const auto slash = name.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(name.substr(0, slash));
}
std::string BasePart(std::string_view name) {
  const auto slash = name.rfind('/');
  return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

// A regular file that is neither a link nor a hard link to another entry.
bool PlainFile(archive_entry* entry) {
  return archive_entry_filetype(entry) == AE_IFREG && !archive_entry_hardlink(entry) &&
         !archive_entry_symlink(entry);
}

std::uint64_t DeclaredSize(archive_entry* entry) {
  if (!archive_entry_size_is_set(entry)) return 0;
  const la_int64_t size = archive_entry_size(entry);
  return size < 0 ? UINT64_MAX : static_cast<std::uint64_t>(size);
}

}  // namespace

PackListing ListSongPack(const std::string& gbkPack) {
  PackListing listing;
  const platform::Utf8NamesOnThisThread utf8Names;
  PackReader reader(gbkPack);
  if (!reader.Open()) {
    listing.fault = PackFault::kUnreadable;
    return listing;
  }
  struct Music {
    std::size_t entry;
    std::uint64_t bytes;
  };
  std::map<std::string, Music> musics;  // by folder and stem, lower case; the first of a name counts
  std::vector<std::pair<PackSong, std::string>> charts;  // with the key of their music
  archive* const a = reader.Archive();
  std::array<std::uint8_t, kChartHeaderSize> head{};
  for (std::size_t index = 0;; ++index) {
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(a, &entry);
    if (status == ARCHIVE_EOF) break;
    if (status < ARCHIVE_WARN) {
      listing.fault = reader.Encrypted() ? PackFault::kEncrypted : PackFault::kUnreadable;
      return listing;
    }
    if (!PlainFile(entry)) continue;
    const std::string name = EntryName(entry), base = BasePart(name);
    if (archive_entry_is_encrypted(entry)) {
      listing.fault = PackFault::kEncrypted;
      listing.gbkFaultPlace = name;
      return listing;
    }
    const auto id = ParseSongFileName(base, /*ignoreCase=*/true);
    if (!id) continue;
    const bool chart = EndsWithIgnoringCase(base, ".vxn");
    const std::uint64_t declared = DeclaredSize(entry);
    if (declared > (chart ? kMaxPackChartBytes : kMaxPackMusicBytes)) {
      listing.fault = PackFault::kTooLarge;
      listing.gbkFaultPlace = name;
      return listing;
    }
    const std::string key = LowerAscii(FolderPart(name) + "/" + base.substr(0, base.size() - 4));
    if (!chart) {
      musics.emplace(key, Music{index, declared});
      continue;
    }
    if (std::any_of(charts.begin(), charts.end(), [&](const auto& c) { return c.second == key; })) continue;
    std::size_t got = 0;
    while (got < head.size()) {
      const la_ssize_t n = archive_read_data(a, head.data() + got, head.size() - got);
      if (n < 0) {
        listing.fault = PackFault::kUnreadable;
        listing.gbkFaultPlace = name;
        return listing;
      }
      if (n == 0) break;
      got += static_cast<std::size_t>(n);
    }
    charts.push_back({PackSong{name,
                               *id,
                               {head.begin(), head.begin() + static_cast<std::ptrdiff_t>(got)},
                               index,
                               0,
                               declared,
                               0},
                      key});
  }
  for (auto& [song, key] : charts) {
    const auto music = musics.find(key);
    if (music == musics.end()) {
      listing.chartsWithoutMusic.push_back(song.gbkPlace);
      continue;
    }
    song.musicEntry = music->second.entry;
    song.musicBytes = music->second.bytes;
    listing.songs.push_back(std::move(song));
  }
  if (listing.songs.empty()) listing.fault = PackFault::kNoSong;
  return listing;
}

PackUnpacked UnpackSongEntries(const std::string& gbkPack, const std::map<std::size_t, std::string>& targets,
                               std::uint64_t spaceLeft, const std::function<bool(std::size_t)>& goOn) {
  PackUnpacked result;
  const auto stopHere = [&](std::size_t finished) { return goOn && !goOn(finished); };
  const auto fail = [&](PackFault fault, std::string place) {
    for (const auto& [index, temporary] : result.temporaries) platform::Remove(NativePath(temporary));
    result.temporaries.clear();
    result.fault = fault;
    result.gbkFaultPlace = std::move(place);
    return result;
  };
  const platform::Utf8NamesOnThisThread utf8Names;
  PackReader reader(gbkPack);
  if (!reader.Open()) return fail(PackFault::kUnreadable, {});
  archive* const a = reader.Archive();
  std::vector<std::uint8_t> block(kBlock);
  std::uint64_t written = 0;
  for (std::size_t index = 0; result.temporaries.size() < targets.size(); ++index) {
    archive_entry* entry = nullptr;
    const int status = archive_read_next_header(a, &entry);
    if (status == ARCHIVE_EOF) return fail(PackFault::kUnreadable, {});  // shorter than when listed
    if (status < ARCHIVE_WARN) return fail(PackFault::kUnreadable, {});
    const auto target = targets.find(index);
    if (target == targets.end()) continue;
    const std::string name = EntryName(entry);
    if (!PlainFile(entry)) return fail(PackFault::kUnreadable, name);
    const std::size_t finished = result.temporaries.size();
    if (stopHere(finished)) {
      result.cancelled = true;
      return result;
    }
    const std::uint64_t limit = HasChartExtension(target->second) ? kMaxPackChartBytes : kMaxPackMusicBytes;
    TemporaryFile temporary(NativePath(target->second), platform::Inherit{});
    if (!temporary.Ok()) return fail(PackFault::kWriteFailed, name);
    result.temporaries[index] = GbkPath(temporary.Path());
    std::uint64_t size = 0;
    PackFault fault = PackFault::kNone;
    for (;;) {
      // A music file can take long to unpack: the person may stop in the middle of it too.
      if (stopHere(finished)) {
        temporary.Finish(false, /*flush=*/false);
        temporary.Abandon();
        result.temporaries.erase(index);
        result.cancelled = true;
        return result;
      }
      const la_ssize_t n = archive_read_data(a, block.data(), block.size());
      if (n == 0) break;
      if (n < 0) {
        fault = archive_entry_is_encrypted(entry) ? PackFault::kEncrypted : PackFault::kUnreadable;
        break;
      }
      size += static_cast<std::uint64_t>(n);
      written += static_cast<std::uint64_t>(n);
      if (size > limit) {
        fault = PackFault::kTooLarge;
        break;
      }
      if (written > spaceLeft) {
        fault = PackFault::kNoSpace;
        break;
      }
      if (!temporary.Write({block.data(), static_cast<std::size_t>(n)})) {
        fault = PackFault::kWriteFailed;
        break;
      }
    }
    if (!temporary.Finish(fault == PackFault::kNone) && fault == PackFault::kNone)
      fault = PackFault::kWriteFailed;
    if (fault != PackFault::kNone) return fail(fault, name);
  }
  return result;
}

#else  // a build without libarchive

bool SongPacksSupported() {
  return false;
}

PackListing ListSongPack(const std::string&) {
  return PackListing{.fault = PackFault::kUnsupported};
}

PackUnpacked UnpackSongEntries(const std::string&, const std::map<std::size_t, std::string>&, std::uint64_t,
                               const std::function<bool(std::size_t)>&) {
  return PackUnpacked{.fault = PackFault::kUnsupported};
}

#endif

}  // namespace vx
