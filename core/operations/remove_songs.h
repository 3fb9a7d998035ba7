#pragma once
// Deleting the ticked songs (to the trash) and moving them to the move-target folder. Both take the
// chart and music files of the ticked songs out of the MUSIC folder and then take out of the table
// exactly the rows whose chart has left the folder.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "interaction.h"
#include "library/song_table.h"
#include "operations/outcome.h"

namespace vx {

struct TickedFiles {
  std::vector<std::size_t> positions;  // of the ticked rows, ascending
  // The charts of the ticked songs in table order, then their music files in the same order; only files
  // that exist. A song without files adds no path, but its position is still listed.
  std::vector<std::string> paths;
  std::size_t songCount() const { return positions.size(); }
};

// Walks the table. When nothing is ticked, says "请先勾选歌曲" and returns empty.
std::optional<TickedFiles> CollectTickedFiles(const SongTable& table, std::string_view gbkMusicDir, Interaction& ui);

// Removes the rows at `ascendingPositions`, one at a time from the top: the k-th removal (k from 0) takes
// the row then at position p(k) − k. Returns those positions in the order they were removed, which is
// what a view replays to drop its rows one by one.
std::vector<std::size_t> RemoveRows(SongTable& table, const std::vector<std::size_t>& ascendingPositions);

struct RemoveOutcome {
  Outcome outcome = Outcome::kNoSettings;
  // Positions of the removed rows, each as it stood when removed (see RemoveRows). Whatever the outcome,
  // the table's size afterwards is the count to show beside "此文件夹歌曲数:".
  std::vector<std::size_t> removedAt;
  std::size_t filesDone = 0;     // trashed or moved
  std::size_t filesSkipped = 0;  // name clashes answered with skip, or left by cancelling the rest
  std::size_t filesFailed = 0;   // could not be trashed or moved, named in a message
};

// "删除歌曲": settings, MUSIC folder, table, ticks; then asks OK/Cancel with the count of songs and files;
// then hands every file to Interaction::MoveToTrash in list order. A file that cannot be trashed does not
// stop the rest; such files are named in one message at the end.
RemoveOutcome OnDeleteSongs(SongTable& table, std::string_view gbkSettingsPath, Interaction& ui);

// "转移歌曲": as the delete, into the move-target folder (which must exist), each file keeping its name.
// A name clash asks Interaction::AskOverwrite: replace, skip this file, or stop (the files not yet moved
// stay). Across file systems a file is copied and flushed before its source is deleted.
RemoveOutcome OnMoveSongs(SongTable& table, std::string_view gbkSettingsPath, Interaction& ui);

}  // namespace vx
