#pragma once
// The library check: what in a MUSIC folder the game will trip over or not see at all. A report the window
// shows in a dialog and vxtool prints, one line per finding.

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "core/library/song_table.h"

namespace vx {

struct LibraryFinding {
  enum Kind {
    kMusicMissing,       // vxma<ID>.vxn without vxma<ID>.vxm
    kChartMissing,       // vxma<ID>.vxm without vxma<ID>.vxn
    kMusicUnreachable,   // the music's name is there, but no regular file behind it (a link to a drive
                         // that is not mounted, a folder, a pipe): the game cannot play the song
    kNameLeadingZeros,   // vxma0007.vxn: the game asks for vxma7.vxn
    kNameOtherCase,      // VXMA7.VXN where the game's own spelling does not reach it
    kNameIdTooLarge,     // vxma5000.vxn and above
    kChartUnreadable,    // the chart is there but cannot be opened or read
    kChartNotRegular,    // a pipe, socket, device or folder (or a link to one) under the chart's name
    kChartShort,         // the chart ends before its 300-byte header does
    kCoverOutside,       // coverOffset + coverSize runs past the end of the chart
    kCoverNotJpeg,       // the cover fails the JPEG marker test
    kDuplicate,          // the same title and author under several IDs
    kLeftoverTemporary,  // "<name>.vxtmp-<letters>": the trace of a rewrite, move or delete that was killed
    kJournal,            // the journal of an operation that did not finish: opening the folder acts on it
    kJournalDamaged,     // a journal that cannot be read: never acted on
  };
  Kind kind;
  std::vector<int> ids;  // the song(s) concerned; empty for a name the game never loads
  std::string fileName;  // GBK; the file concerned, empty for duplicates
  std::string detail;    // GBK; the title and author of duplicates, the game's spelling of an other-case name
};

struct LibraryReport {
  bool folderReadable = true;  // false when the folder could not be listed: nothing was checked
  // By song ID; then names the game never loads; then leftover temporary files, the journal; duplicates
  // last.
  std::vector<LibraryFinding> findings;

  bool Clean() const { return folderReadable && findings.empty(); }
};

// Checks the songs of one MUSIC folder. Only names that look like song files (vxma*.vxn or vxma*.vxm, any
// case, digits between) are looked at; everything else in the folder is none of the game's business. A chart
// that names no cover (size 0) has none, which is not a finding. Duplicates are songs with the same non-empty
// title and the same author, compared as bytes. The music files are never opened.
LibraryReport CheckLibrary(std::string_view gbkMusicDir);

// The report as lines, one per finding, without line breaks; a clean report says so in one line. A
// title in a line is as the chart holds it, control characters included.
std::vector<std::string> LibraryReportLinesGbk(const LibraryReport& report);
// The same lines, each ending in a line break.
std::string LibraryReportTextGbk(const LibraryReport& report);

bool HasLeftoverTemporaries(const LibraryReport& report);

// The song IDs the findings name, ascending.
std::set<int> ReportedIds(const LibraryReport& report);

// Ticks every row whose ID is in `ids`; other rows keep their ticks. Returns the number of rows ticked.
std::size_t TickIds(SongTable& table, const std::set<int>& ids);

}  // namespace vx
