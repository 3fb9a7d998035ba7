#pragma once
// Song packs: the .zip, .7z and .rar files players download, holding vxma<ID>.vxn/.vxm pairs at any
// depth. Read through libarchive; nothing from a pack but the bytes of the song files it pairs ever
// reaches the disk, and only under names the caller gives.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// Larger entries are refused before anything is written: no real chart or music comes near them, and a
// pack declaring them is damaged or made to fill the disk.
inline constexpr std::uint64_t kMaxPackChartBytes = std::uint64_t{64} << 20;
inline constexpr std::uint64_t kMaxPackMusicBytes = std::uint64_t{1} << 30;

// Whether a path names a pack by its extension (.zip, .7z, .rar), in any case.
bool IsSongPackName(std::string_view gbkPath);
// False in a build without libarchive, where every pack is refused with kUnsupported.
bool SongPacksSupported();

// Why a pack was refused as a whole; nothing was written for it.
enum class PackFault {
  kNone,
  kUnsupported,  // this build reads no packs
  kUnreadable,   // not a pack, damaged or cut short
  kEncrypted,    // an entry is encrypted
  kTooLarge,     // an entry is larger, declared or real, than any song file can be
  kNoSpace,      // the songs need more than the free space of the MUSIC folder's disk
  kNoSong,       // no vxma<ID>.vxn with its .vxm
  kWriteFailed,  // a temporary file in MUSIC could not be written
};

// One song of a pack: a chart named vxma<ID>.vxn and the .vxm of the same name in the same folder of
// the pack (both matched without regard to case).
struct PackSong {
  std::string gbkPlace;              // where in the pack, for the person: "曲包/第一辑/vxma12.vxn"
  int id = 0;                        // the ID its name gives
  std::vector<std::uint8_t> header;  // the chart's first bytes, up to the header's size
  std::size_t chartEntry = 0, musicEntry = 0;    // positions among the pack's entries
  std::uint64_t chartBytes = 0, musicBytes = 0;  // as declared; 0 when the pack does not say
};

struct PackListing {
  PackFault fault = PackFault::kNone;
  std::string gbkFaultPlace;                    // the entry the fault is about, when it is about one
  std::vector<PackSong> songs;                  // in the pack's order of their charts
  std::vector<std::string> chartsWithoutMusic;  // places of charts with no music beside them
};

// Reads a pack's entries (and its charts' headers), without writing anything. Links, devices and
// folders inside are passed over.
PackListing ListSongPack(const std::string& gbkPack);

// Streams each entry of `targets` (position -> GBK path of its final name) into a new temporary file
// beside that name, in one pass over the pack and a bounded buffer, never more than `spaceLeft` bytes in
// all; `temporaries` gets position -> GBK path of each finished temporary. On a fault every temporary
// made is removed again and `temporaries` is empty. `goOn`, when given, is asked before each entry and
// each block with the number of entries finished so far; when it says no, the entry being written is
// removed, `cancelled` is set and `temporaries` keeps the entries finished before.
struct PackUnpacked {
  PackFault fault = PackFault::kNone;
  bool cancelled = false;
  std::string gbkFaultPlace;
  std::map<std::size_t, std::string> temporaries;
};
PackUnpacked UnpackSongEntries(const std::string& gbkPack, const std::map<std::size_t, std::string>& targets,
                               std::uint64_t spaceLeft,
                               const std::function<bool(std::size_t finished)>& goOn = {});

// The free space on the disk of a folder; none when it cannot be told.
std::optional<std::uint64_t> FreeSpaceOf(const std::string& gbkFolder);

}  // namespace vx
