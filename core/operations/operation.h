#pragma once
// The one shape every operation has: what it is handed, and the one value that says how it left the song
// table. The window applies that value to its table model; vxtool and tests read it directly.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "core/interaction.h"
#include "core/io/library_lock.h"
#include "core/library/song_table.h"
#include "core/operations/outcome.h"
#include "core/settings/settings_file.h"

namespace vx {

class History;

// What every operation is handed. The folders usually are not: each operation reads them from the
// settings file when it starts (StartOperation), so a folder changed in another window is never acted on
// stale. vxtool, which takes its folders from its arguments, hands them over instead.
struct OperationContext {
  SongTable& table;
  std::string gbkSettingsPath;  // REC.re
  Interaction& ui;
  History* history = nullptr;  // where a replaced chart is kept first; null when the history is off
  std::optional<FolderSettings> folders;  // used instead of the settings file when set
  // How long a writer waits for another program to finish with its MUSIC folder.
  std::chrono::milliseconds lockPatience = kLibraryLockPatience;
};

// How an operation changed the table, from the least to the most disruptive for a view. A view applies
// exactly this; anything it cannot express is a reset.
struct TableChange {
  // Positions of removed rows, each as it stood when it went, never decreasing (see RemoveRows).
  std::vector<std::size_t> removedAt;
  // Rows (after removals) whose ticks or cells changed.
  std::vector<std::size_t> changedRows;
  // Rows added at the end of the table.
  std::size_t appended = 0;
  // One column's cells changed, in any rows.
  std::optional<int> changedColumn;
  // Every row changed ticks or cells, but none moved.
  bool allRowsChanged = false;
  // The rows were replaced or reordered: a view starts again from the table.
  bool reset = false;

  bool Empty() const {
    return removedAt.empty() && changedRows.empty() && appended == 0 && !changedColumn && !allRowsChanged &&
           !reset;
  }
};

// What an operation ends with: how it went (the person has already been told) and what it did to the table.
struct OperationResult {
  Outcome outcome = Outcome::kNoSettings;
  TableChange change;
};

}  // namespace vx
