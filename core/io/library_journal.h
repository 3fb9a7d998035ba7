#pragma once
// The journal of a MUSIC folder: what a multi-file operation is about to do to its songs, written down
// before the first rename and removed once every song it names is whole. A crash between two renames
// leaves it behind, and the next program that opens the folder finishes or undoes each song it names.
//
// It is a small text file inside the MUSIC folder itself (so whoever opens the folder next finds it),
// under a name that never parses as a song. Its format, all of it here:
//
//   vxorganizer journal 1
//   add <id> <chart temporary>
//   install <id> <replace 0|1> <music temporary> <chart temporary>
//   renumber <from> <to>
//   delete <id>
//   move <id> <target folder>
//   end
//
// one line per song, in any order, each ending in "\n". Temporary names are plain names inside the MUSIC
// folder; the target folder is a GBK path with '%', ' ', control bytes and bytes above 0x7E written as
// %XX. Reading is strict: anything else, a missing "end" included, makes the whole journal damaged, and
// a damaged journal is reported and never acted on.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/file_io.h"

namespace vx {

inline constexpr std::string_view kJournalFileName = "vxorganizer.journal";

struct JournalEntry {
  // kAdd: a song copied to an ID that was free, written down before its first file is made: its music
  // goes straight to its own name, its chart to a temporary that is renamed into place once both files
  // are flushed. kInstall: copies already flushed, waiting in temporaries, maybe replacing a song.
  enum class Kind { kAdd, kInstall, kRenumber, kDelete, kMove };
  Kind kind = Kind::kDelete;
  int id = 0;                  // the song (for a renumber: its old ID)
  int to = 0;                  // renumber: the new ID
  bool replace = false;        // install: the song holding the ID goes to the trash first
  std::string musicTemporary;  // install: the flushed copies waiting in MUSIC, by name
  std::string chartTemporary;  // install and add
  std::string target;          // move: the folder the song goes to (GBK)

  bool operator==(const JournalEntry&) const = default;
};

std::string JournalPath(std::string_view gbkMusicDir);

std::string FormatJournal(const std::vector<JournalEntry>& entries);
// Empty optional when the bytes are not a whole journal.
std::optional<std::vector<JournalEntry>> ParseJournal(std::span<const std::uint8_t> bytes);

enum class JournalState { kNone, kPresent, kDamaged };
struct ReadJournalResult {
  JournalState state = JournalState::kNone;
  std::vector<JournalEntry> entries;
};
ReadJournalResult ReadJournal(std::string_view gbkMusicDir);

// Writes the journal through a flushed temporary file and a rename, so it is whole or absent. False
// when it could not: the operation must then change nothing.
bool WriteJournal(std::string_view gbkMusicDir, const std::vector<JournalEntry>& entries);
// Removes it once the songs it names are whole. False when it is still there.
bool RemoveJournal(std::string_view gbkMusicDir);

}  // namespace vx
