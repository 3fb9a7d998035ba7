#pragma once
// Deleting the ticked songs (to the trash) and moving them to the move-target folder. Both take the
// chart and music files of the ticked songs out of the MUSIC folder and then take out of the table
// exactly the rows whose chart has left the folder.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/interaction.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"
#include "core/operations/outcome.h"

namespace vx {

struct TickedFiles {
  std::vector<std::size_t> positions;  // of the ticked rows, ascending
  // The charts of the ticked songs in table order, then their music files in the same order; only files
  // that exist. A song without files adds no path, but its position is still listed.
  std::vector<std::string> paths;
  // The same files song by song, one entry per position: its chart, then its music.
  std::vector<std::vector<std::string>> songFiles;
  std::size_t songCount() const { return positions.size(); }
};

// Walks the table. When nothing is ticked, says "请先勾选歌曲" and returns empty. Songs whose music name
// leads to no file are left out and named.
std::optional<TickedFiles> CollectTickedFiles(const SongTable& table, std::string_view gbkMusicDir,
                                              Interaction& ui);

// Removes the rows at `ascendingPositions`, one at a time from the top: the k-th removal (k from 0) takes
// the row then at position p(k) − k. Returns those positions in the order they were removed, which is
// what a view replays to drop its rows one by one.
std::vector<std::size_t> RemoveRows(SongTable& table, const std::vector<std::size_t>& ascendingPositions);

// A song an operation left where it was (or, for `split`, half handled), with the files concerned (GBK).
struct SongNote {
  int id = -1;
  std::string title;               // GBK, the 歌曲名字 cell
  std::vector<std::string> files;  // the clashing targets of a skipped song; the song's own files otherwise
};

// `change.removedAt` has the positions of the removed rows, each as it stood when removed (see
// RemoveRows). Whatever the outcome, the table's size afterwards is the count to show beside
// "此文件夹歌曲数:".
struct RemoveOutcome : OperationResult {
  std::size_t filesDone = 0;      // trashed or moved
  std::size_t filesSkipped = 0;   // of songs skipped at a clash, or left by stopping
  std::size_t filesFailed = 0;    // of songs that could not be trashed or moved, named in a message
  std::vector<SongNote> skipped;  // clashes answered with skip; `files` are the targets already there
  std::vector<SongNote> failed;   // every file of these songs is still in the MUSIC folder
  std::vector<SongNote> split;    // a step failed and so did its undoing: named in a message, file by file
};

// "删除歌曲": settings, MUSIC folder, table, ticks; then asks OK/Cancel with the count of songs and files;
// then hands each song's files to Interaction::MoveToTrash, which trashes all of them or none. A song that
// cannot be trashed does not stop the rest; such songs are named in one message at the end.
RemoveOutcome OnDeleteSongs(OperationContext& ctx);

// "转移歌曲": as the delete, into the move-target folder (which must exist), each file keeping its name,
// song by song. A song with a file already in the target is a clash, asked once for the song
// (Interaction::AskClash naming its ID, title and the files there): replace (those files go to the trash
// first), skip the song, or stop (it and the songs after it stay). When a file of a song cannot move, the
// files of that song already moved are moved back, so every song ends whole on one side. Across file
// systems a file is copied and flushed before its source is deleted.
RemoveOutcome OnMoveSongs(OperationContext& ctx);

// "编号12 歌名", as the messages name a song (GBK).
std::string SongLabelGbk(int id, const std::string& gbkTitle);

// Why song `id` cannot be handled now although its files are there: its chart or its music is held open
// by another program without sharing, or is not the person's to read. The reason names the file (GBK);
// none when every file of the song that exists can be read. Whatever an operation would do to such a
// song, it does none of it: the song stays whole.
std::optional<std::string> SongFilesUnreadableGbk(std::string_view gbkMusicDir, int id);
// Says that reason, if there is one, and then returns true.
bool RefuseUnreadableSong(Interaction& ui, std::string_view gbkMusicDir, int id);

}  // namespace vx
