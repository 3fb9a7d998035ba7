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

// What tells one song from another under the same ID: its music file's size and a hash of its content.
// Charts change (that is what the history is for); the music of a song does not.
struct SongIdentity {
  std::uint64_t bytes = 0;
  std::uint64_t hash = 0;
  bool operator==(const SongIdentity&) const = default;
};

// The identity of the song whose music is at `gbkMusicPath`; empty when it cannot be read.
std::optional<SongIdentity> IdentifySong(std::string_view gbkMusicPath);

struct HistoryEntry {
  std::string name;      // the entry's name in the history folder, e.g. "20261208-195012-001"
  std::string musicDir;  // GBK, absolute, as NormalMusicFolder gives it
  int id = -1;           // the song's ID when the chart was kept
  HistoryOperation operation = HistoryOperation::kEdit;
  std::string time;                 // local time, "2026-12-08 19:50:12"
  std::string title;                // GBK, the kept chart's title
  std::optional<int> renumberedTo;  // for a renumber: the ID the song went to
  std::uint64_t bytes = 0;          // size of the kept chart
  // Entries are ordered by this number, which only grows: local time can jump back (a time zone, a
  // clock set right) and must never make the newest entry look like the oldest. 0 for entries written
  // before it was kept, which come before every numbered one.
  std::uint64_t sequence = 0;
  std::optional<SongIdentity> song;  // the song the chart belonged to, when its music could be read
  // Ctrl+Z and Ctrl+Y are changes too, kept like every other; these say which earlier entry one of them
  // took back or put back again, so the history itself knows what is still to be taken back. Empty for
  // every other change and for entries written before they were kept.
  std::string undoes;
  std::string redoes;
  // Could not be taken back (its song is gone, its renumber never happened): never offered again.
  bool passedOver = false;
};

// What Ctrl+Z and Ctrl+Y would take next, each newest first, worked out from a folder's entries (as
// History::Entries gives them, newest first). A change pushes its entry onto `undo` and empties `redo`;
// an entry that undoes another takes that one off `undo` and goes onto `redo`; an entry that redoes
// another takes it off `redo` and goes onto `undo`, leaving the rest of `redo` for the next Ctrl+Y.
// Entries passed over take their place in that order but are never offered.
struct UndoStacks {
  std::vector<HistoryEntry> undo;
  std::vector<HistoryEntry> redo;
};
UndoStacks WorkOutUndoStacks(const std::vector<HistoryEntry>& newestFirst);

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

  // Keeps `chart` as it was before `operation` changes or removes song `id` of `gbkMusicDir`, with the
  // identity of the song's music. The chart goes in first and the entry's description last, so an entry is
  // whole or not listed. The oldest entries then go until the limits hold, never the one just written.
  // Returns the entry's name; empty when the entry could not be written (nothing is left of it then) or
  // when the chart is too large to be admitted.
  std::optional<std::string> Record(std::string_view gbkMusicDir, int id, HistoryOperation operation,
                                    std::span<const std::uint8_t> chart,
                                    std::optional<int> renumberedTo = std::nullopt);
  // Whether a chart of this size gets a place. One entry may take a tenth of the size limit: a single huge
  // chart must not push every other library's entries out.
  bool Admits(std::uint64_t chartBytes) const { return chartBytes <= m_limits.maxBytes / 10; }
  // Takes back an entry whose change did not happen after all. False when it could not be removed.
  bool Forget(std::string_view name);
  // The next entry Record writes says it took back (`undoes`) or put back (`redoes`) the entry of that
  // name; the link lasts until that record or until ClearLink.
  void LinkNextRecord(std::string undoes, std::string redoes);
  void ClearLink();
  // Marks an entry as one that cannot be taken back; false when its description could not be rewritten.
  bool MarkPassedOver(const HistoryEntry& entry);

  // The entries, newest first; only those of `gbkMusicDir` when it is given.
  std::vector<HistoryEntry> Entries(std::optional<std::string_view> gbkMusicDir = std::nullopt) const;
  std::optional<HistoryEntry> Find(std::string_view name) const;
  // The kept chart of an entry; empty when it cannot be read.
  std::optional<Bytes> Chart(const HistoryEntry& entry) const;

 private:
  void Prune(std::string_view keep);
  // Temporary files of a run killed while it wrote an entry.
  void RemoveLeftovers() const;

  std::string m_folder;
  HistoryLimits m_limits;
  std::string m_nextUndoes;
  std::string m_nextRedoes;
};

}  // namespace vx
