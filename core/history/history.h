#pragma once
// The history of replaced charts: before an edit, a cover import, an install that replaces a song, a
// renumber or a restore changes or removes a chart, the chart as it was is kept here, so the change can be
// taken back. One folder per user, shared by every library; each entry remembers its MUSIC folder.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/file_io.h"

namespace vx {

enum class HistoryOperation { kEdit, kImportCover, kInstallReplace, kRenumber, kRestore };

// "edit", "import-cover", "install", "renumber", "restore": what vxtool prints and the entry file holds.
std::string_view HistoryOperationToken(HistoryOperation operation);
// What the window shows (UTF-8).
std::string_view HistoryOperationLabel(HistoryOperation operation);

struct HistoryEntry {
  std::string name;      // the entry's name in the history folder, e.g. "20261208-195012-001"
  std::string musicDir;  // GBK, absolute, as NormalMusicFolder gives it
  int id = -1;           // the song's ID when the chart was kept
  HistoryOperation operation = HistoryOperation::kEdit;
  std::string time;                 // local time, "2026-12-08 19:50:12"
  std::string title;                // GBK, the kept chart's title
  std::optional<int> renumberedTo;  // for a renumber: the ID the song went to
  std::uint64_t bytes = 0;          // size of the kept chart
};

// An entry's description file: one "key=value" line each for the MUSIC folder, ID, operation, time, title
// and (for a renumber) the ID it went to; bytes below 0x20 and backslashes in texts are written as \xHH, so
// no text can break its line. ParseHistoryEntry reads one back; a description that does not add up (a
// missing folder, ID or operation, an ID that is no number) gives nothing, which leaves the entry unlisted.
std::string DescribeHistoryEntry(const HistoryEntry& entry);
std::optional<HistoryEntry> ParseHistoryEntry(std::string name, std::string_view text);

// The folder the history lives in by default: <user data>/vxorganizer/history. Empty when there is none.
std::string DefaultHistoryFolder();

// A MUSIC folder in the one form entries are compared by: absolute, without "." or "..", without a
// trailing separator.
std::string NormalMusicFolder(std::string_view gbkMusicDir);

// How much the history keeps: the newest entries up to either limit.
struct HistoryLimits {
  std::size_t maxEntries = 200;
  std::uint64_t maxBytes = 500ull * 1024 * 1024;
};

class History {
 public:
  // `gbkFolder` is made when the first entry is written; an empty folder keeps nothing.
  explicit History(std::string gbkFolder, HistoryLimits limits = HistoryLimits());
  const std::string& Folder() const { return m_folder; }

  // Keeps `chart` as it was before `operation` changes or removes song `id` of `gbkMusicDir`. The chart goes
  // in first and the entry's description last, so an entry is whole or not listed. The oldest entries then
  // go until the limits hold. False when the entry could not be written; nothing is left of it then.
  bool Record(std::string_view gbkMusicDir, int id, HistoryOperation operation,
              std::span<const std::uint8_t> chart, std::optional<int> renumberedTo = std::nullopt);

  // The entries, newest first; only those of `gbkMusicDir` when it is given.
  std::vector<HistoryEntry> Entries(std::optional<std::string_view> gbkMusicDir = std::nullopt) const;
  std::optional<HistoryEntry> Find(std::string_view name) const;
  // The kept chart of an entry; empty when it cannot be read.
  std::optional<Bytes> Chart(const HistoryEntry& entry) const;

 private:
  void Prune() const;

  std::string m_folder;
  HistoryLimits m_limits;
};

}  // namespace vx
