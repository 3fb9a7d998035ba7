#pragma once
// Bringing songs into the MUSIC folder: a chart and its music from anywhere, under a free ID.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/history/history.h"
#include "core/interaction.h"
#include "core/library/song_table.h"
#include "core/operations/operation.h"
#include "core/operations/outcome.h"

namespace vx {

struct InstalledSong {
  std::string source;        // GBK path of the source chart (or of a source that is no chart)
  std::optional<int> id;     // the ID the song now has in MUSIC
  std::string_view skipped;  // UTF-8, one of messages.h's reasons, when it was not installed
};

// `outcome` is kDone when every song was installed, kCancelled when the person stopped it through the
// progress (the songs placed by then stay); `change` has the new rows at the end of the table
// (appended) and the rows of replaced songs, now showing the new song (changedRows), all ticked, or a
// reset when a replaced song lost its row.
struct InstallOutcome : OperationResult {
  std::vector<InstalledSong> songs;  // one per source chart, in the order they were met
};

// Installs songs. A source is a chart file *.vxn (with the .vxm of the same name beside it, when there is
// one), a folder (every *.vxn directly inside, by name) or a pack (.zip, .7z, .rar: every vxma<ID>.vxn at
// any depth with the .vxm of the same name in the same folder of the pack; core/packs/song_pack.h). A
// pack that is damaged, encrypted, oversized or too large for the disk is refused whole; the songs of
// the packs come after those of charts and folders. Interaction::ReportProgress hears of every song; when
// the person cancels, the songs copied by then are placed, each whole, and no other. A source chart must have
// a readable 300-byte header. A song keeps its ID when its name is vxma<ID>.vxn (0..4999) and the ID is free
// in MUSIC; otherwise Interaction::AskClash, naming both sides, offers the lowest free ID, replacing the song
// that holds the ID (its chart is kept in `history` when given, and its files go to the trash first),
// skipping it, or stopping. The files are copied, never moved, to temporary files in MUSIC and renamed into
// place, the music first and the chart last, so a song lands whole or not at all. A full library is said
// once. The table gains the installed songs, ticked, without a rescan. The folder is the context's MUSIC
// folder, held for the whole install; an empty table is fine.
InstallOutcome InstallSongs(OperationContext& ctx, const std::vector<std::string>& gbkSources);

// The result for a person (GBK): that it was cancelled, when it was; how many were installed and skipped,
// then one line per song, "<source> → 编号12" or "<source>:跳过,<reason>".
std::string InstallReportTextGbk(const InstallOutcome& outcome);

}  // namespace vx
