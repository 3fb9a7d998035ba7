#pragma once
// Opening a MUSIC folder: before anything reads or changes its songs, each song a killed operation left
// between two renames (its journal says which) is finished or undone, so it is whole on one side.

#include <string>
#include <string_view>
#include <vector>

#include "core/interaction.h"
#include "core/io/library_journal.h"
#include "core/operations/operation.h"

namespace vx {

enum class Recovery {
  kNothing,  // no journal, or its songs were all whole already
  kDone,     // every song it named is whole now; the person was told what was done
  kLeft,     // some song could be neither finished nor undone: the journal keeps it, the person was told
  kDamaged,  // the journal cannot be read: reported, left alone
  kBusy,     // another program is changing the folder, and the journal is that program's own
};

// Runs holding the folder's lock (taken here without waiting: a writer holding it is alive, and so is
// its journal). Says once, through `ui`, what it did ("上次的操作没有完成:").
Recovery RecoverInterruptedWork(std::string_view gbkMusicDir, Interaction& ui);
// The same for the MUSIC folder an operation would open (the context's folders, else REC.re's).
Recovery RecoverInterruptedWork(const OperationContext& ctx);

}  // namespace vx

namespace vx {

// What a multi-file operation writes down before its first rename: one journal per run, flushed before
// any song is touched, and removed (after one flush of the folder, which makes the run's renames last)
// once the run is over. A song left split even after the run's own undo keeps it, so the next opening
// of the folder tries again.
class OperationJournal {
 public:
  explicit OperationJournal(std::string_view gbkMusicDir) : m_music(gbkMusicDir) {}
  ~OperationJournal();
  OperationJournal(const OperationJournal&) = delete;
  OperationJournal& operator=(const OperationJournal&) = delete;

  // Adds `entries` to what this run wrote down and writes it all; false, with the person told, when it
  // cannot (or when an earlier run's journal is still there, damaged or not mended): then nothing of
  // these songs may change.
  bool Write(const std::vector<JournalEntry>& entries, Interaction& ui);
  void KeepForRecovery() { m_keep = true; }

 private:
  std::string m_music;
  std::vector<JournalEntry> m_entries;
  bool m_written = false, m_keep = false;
};

}  // namespace vx
