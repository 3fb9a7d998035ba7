#include "core/operations/install_songs.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>
#include <unordered_map>

#include "core/formats/chart_header.h"
#include "core/formats/song_files.h"
#include "core/io/dir_list.h"
#include "core/io/file_io.h"
#include "core/io/file_move.h"
#include "core/io/file_rewrite.h"
#include "core/library/scan.h"
#include "core/operations/operation_support.h"
#include "core/operations/remove_songs.h"
#include "core/operations/song_numbers.h"
#include "core/packs/song_pack.h"
#include "core/text/compare.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

// Whether two paths lead to the same file or folder (device and inode; the file ID on Windows), whatever
// their spelling or the links on the way.
bool SameFile(const std::string& gbkA, const std::string& gbkB) {
  std::error_code ec;
  return std::filesystem::equivalent(NativePath(gbkA.empty() ? "." : gbkA),
                                     NativePath(gbkB.empty() ? "." : gbkB), ec) &&
         !ec;
}

// The music file that goes with a source chart: the name with .vxm in the same folder, matched without
// regard to case (packs made on Windows mix VXN with vxm), the name of the chart's own case first. Only a
// regular file that can be read counts: a chart installed without its music is a song the game cannot
// play. What the listing calls a regular file is taken at its word (its copy opens it as one, or fails);
// a link or a name the listing cannot type is looked at.
// The entries of each source folder, listed once for all its charts and kept by their lower-case GBK
// spelling (listing it per chart made an install of a thousand songs quadratic, and so did converting
// every name of the listing for every chart).
struct ListedName {
  std::string gbk;
  bool regular = false;
};
using FolderListings = std::map<std::string, std::multimap<std::string, ListedName>>;

// Keeps a listing of `folder` by lower-case GBK name; the names GBK cannot spell are left out.
FolderListings::iterator KeepListing(FolderListings& listings, const std::string& folder,
                                     const std::vector<FolderEntry>& entries) {
  std::multimap<std::string, ListedName> byLowerName;
  for (const FolderEntry& entry : entries)
    if (auto gbk = GbkFromUtf8(entry.name)) {
      std::string lower = LowerAscii(*gbk);
      byLowerName.emplace(std::move(lower), ListedName{std::move(*gbk), entry.regular});
    }
  return listings.insert_or_assign(folder, std::move(byLowerName)).first;
}

std::optional<std::string> MusicBeside(const std::string& chart, FolderListings& listings) {
  const std::string folder = FolderOf(chart), name = FileNameOf(chart);
  const std::string wanted = name.substr(0, name.size() - 1) + "m";
  auto listed = listings.find(folder);
  if (listed == listings.end())
    listed =
        KeepListing(listings, folder,
                    ListFolderEntries(folder.empty() ? "." : folder).value_or(std::vector<FolderEntry>{}));
  std::vector<ListedName> candidates;
  const auto [first, last] = listed->second.equal_range(LowerAscii(wanted));
  for (auto it = first; it != last; ++it)
    candidates.insert(it->second.gbk == wanted ? candidates.begin() : candidates.end(), it->second);
  if (candidates.empty()) candidates.push_back({wanted, false});  // a folder that could not be listed
  for (const ListedName& music : candidates) {
    const std::string path = JoinPath(folder, music.gbk);
    if (music.regular || FileSize(path)) return path;  // a size only for a regular file
  }
  return std::nullopt;
}

// In the order of the IDs in their names (vxma2 before vxma10), as the game numbers them; names without
// an ID after those, by name.
void SortByIdOfName(std::vector<std::string>& charts) {
  const auto key = [](const std::string& path) {
    const auto id = ParseChartFileName(FileNameOf(path), /*ignoreCase=*/true);
    return std::make_tuple(!id.has_value(), id.value_or(0), std::cref(path));
  };
  std::sort(charts.begin(), charts.end(),
            [&](const std::string& a, const std::string& b) { return key(a) < key(b); });
}

// The source charts, each *.vxn named or inside a named folder (in the order of their IDs), and the
// packs; what is none is refused right away, and so is a folder without a song or a name inside it that
// GBK cannot spell (it could not be named to the person nor found again). A source given twice, under
// any spelling, counts once.
std::vector<std::string> SourceCharts(const std::vector<std::string>& sources,
                                      std::vector<InstalledSong>& refused, std::vector<std::string>& packs,
                                      FolderListings& listings) {
  std::vector<std::string> charts;
  for (const std::string& source : sources) {
    if (DirectoryExists(source)) {
      std::vector<std::string> inside;
      const auto entries = ListFolderEntries(source).value_or(std::vector<FolderEntry>{});
      for (const FolderEntry& entry : entries) {
        const auto gbk = GbkFromUtf8(entry.name);
        if (!gbk)
          refused.push_back({JoinPath(source, GbkShowingCodePoints(entry.name)), std::nullopt,
                             msg::kInstallNameUnmappable});
        else if (HasChartExtension(*gbk))
          inside.push_back(JoinPath(source, *gbk));
      }
      // The same listing finds each chart's music (kept under the folder as the charts' paths name it).
      if (!inside.empty()) KeepListing(listings, FolderOf(inside.front()), entries);
      if (inside.empty()) refused.push_back({source, std::nullopt, msg::kInstallFolderWithoutSongs});
      SortByIdOfName(inside);
      charts.insert(charts.end(), inside.begin(), inside.end());
    } else if (HasChartExtension(source)) {
      charts.push_back(source);
    } else if (IsSongPackName(source) && KindOfPath(source) == PathKind::kRegularFile) {
      packs.push_back(source);
    } else {
      refused.push_back({source, std::nullopt, msg::kInstallNotChart});
    }
  }
  // Only charts of the same name (ignoring case, as some file systems do) can be one file, so only those
  // are compared by identity: comparing every pair made a thousand songs cost a million lookups.
  std::vector<std::string> unique;
  std::map<std::string, std::vector<std::size_t>> byName;
  for (const std::string& chart : charts) {
    std::vector<std::size_t>& same = byName[LowerAscii(FileNameOf(chart))];
    if (std::any_of(same.begin(), same.end(),
                    [&](std::size_t seen) { return SameFile(unique[seen], chart); }))
      continue;
    same.push_back(unique.size());
    unique.push_back(chart);
  }
  return unique;
}

bool RemoveAll(const std::vector<std::string>& paths) {
  bool all = true;
  for (const std::string& path : paths) all = RemoveFile(path) && all;
  return all;
}

// Where a song goes: its ID and whether it takes the place of the song holding that ID.
struct Placement {
  int id = -1;
  bool replace = false;
};

// The ID for a song whose chart passed: its own when the name gives a free one, else what the person
// answers to the clash. No value, and `song.skipped` set, when it is not installed; a stop also sets
// `stopped`.
std::optional<Placement> ChooseId(InstalledSong& song, const ChartHeader& header, std::optional<int> nameId,
                                  std::string_view gbkMusicDir, const TakenIds& taken, Interaction& ui,
                                  bool& stopped, bool& saidFull) {
  if (nameId && !taken.test(static_cast<std::size_t>(*nameId))) return Placement{*nameId, false};
  std::string question;
  std::vector<ClashAnswer> offered;
  if (nameId) {
    question = Gbk(msg::kInstallClashTaken) + "\n" + Gbk(msg::kInstallClashThere) +
               SongInFolderLabelGbk(gbkMusicDir, *nameId) + "\n" + Gbk(msg::kInstallClashComing) +
               SongLabelGbk(*nameId, header.title) + "\n" + song.source;
    offered = {ClashAnswer::kNextFreeId, ClashAnswer::kReplace, ClashAnswer::kSkip, ClashAnswer::kStop};
  } else {
    question = Gbk(msg::kInstallClashNoId) + "\n" + Gbk(msg::kInstallClashComing) + header.title + "\n" +
               song.source;
    offered = {ClashAnswer::kNextFreeId, ClashAnswer::kSkip, ClashAnswer::kStop};
  }
  switch (ui.AskClash(question, offered)) {
    case ClashAnswer::kSkip:
      break;
    case ClashAnswer::kStop:
      stopped = true;
      song.skipped = msg::kInstallStopped;
      return std::nullopt;
    case ClashAnswer::kReplace:
      if (!nameId) break;  // not offered without an ID
      return Placement{*nameId, true};
    case ClashAnswer::kNextFreeId: {
      const auto free = LowestFreeId(taken);
      if (free) return Placement{*free, false};
      if (!saidFull) detail::Say(ui, msg::kInstallLibraryFull);
      saidFull = true;
      song.skipped = msg::kInstallNoFreeId;
      return std::nullopt;
    }
  }
  song.skipped = msg::kInstallSkipped;
  return std::nullopt;
}

// A song copied into MUSIC, waiting for the batch's flush and its renames.
struct Prepared {
  std::size_t song;  // in the outcome's songs
  ChartHeader header;
  Placement at;
  std::vector<std::string> temps, targets;  // music first, then the chart
  // Added to a free ID: the music is at its own name already (temps[0] is targets[0]) and only the chart
  // waits, beside its name; the journal wrote the song down before either file was made.
  bool added = false;
};

// The music's and the chart's final names, the chart last: the song is not there for the game until its
// chart is.
std::vector<std::string> SongTargets(std::string_view gbkMusicDir, int id) {
  return {MusicPath(gbkMusicDir, id), ChartPath(gbkMusicDir, id)};
}

// A song chosen from a source folder, copied when its batch is committed.
struct Waiting {
  std::size_t song;  // in the outcome's songs
  std::string music;
  std::optional<ChartHeader> header;  // read already where a clash question needed it
  Placement at;
};

// Puts one copied song in place; false, with `song.skipped` set, when it is not there. A replaced song
// that could neither be replaced nor brought back loses its row, and `lostRow` says so.
bool PlaceSong(InstalledSong& song, const Prepared& p, std::string_view gbkMusicDir, OperationContext& ctx,
               bool& stopped, bool& lostRow) {
  Interaction& ui = ctx.ui;
  History* const history = ctx.history;
  const std::string& targetChart = p.targets[1];
  std::vector<std::string> there;  // the files of the replaced song, once they are in the trash
  History* keep = nullptr;
  std::optional<std::string> entry;  // the replaced chart's history entry
  // A replace that does not happen after all must not leave an entry that would "undo" it.
  const auto forget = [&] {
    if (entry) keep->Forget(*entry);
  };
  if (p.at.replace) {
    if (!detail::ChooseHistory(ui, history, targetChart, keep)) {
      RemoveAll(p.temps);
      song.skipped = msg::kInstallReplaceDeclined;
      return false;
    }
    if (const auto old = ReadWholeFile(targetChart);
        keep && old &&
        !(entry = keep->Record(gbkMusicDir, p.at.id, HistoryOperation::kInstallReplace, *old))) {
      RemoveAll(p.temps);
      detail::SayWithLines(ui, msg::kHistoryNotWritten, {history->Folder()});
      song.skipped = msg::kInstallHistoryFailed;
      stopped = true;
      return false;
    }
    for (const std::string& path : {p.targets[1], p.targets[0]})
      if (FileExists(path)) there.push_back(path);
    if (const AllOrNone trashed = ui.MoveToTrash(there); trashed != AllOrNone::kAll) {
      RemoveAll(p.temps);
      if (trashed == AllOrNone::kNone) forget();
      song.skipped = msg::kInstallReplaceFailed;
      return false;
    }
  }
  if (MoveFilesTo(p.temps, p.targets) == AllOrNone::kAll) return true;
  RemoveAll(p.temps);
  song.skipped = msg::kInstallCopyFailed;
  // The replaced song comes back out of the trash; where the trash cannot give it back, the person is
  // told where it is.
  if (p.at.replace && ui.RestoreFromTrash(there)) {
    forget();
  } else if (p.at.replace) {
    song.skipped = msg::kInstallFailedAfterReplace;
    if (const auto row = ctx.table.FindId(p.at.id)) {
      ctx.table.RemoveRow(*row);
      lostRow = true;
    }
  }
  return false;
}

// Where each ID's row is, looked up once per batch: finding each installed song's row by a walk over the
// table made an install of a thousand songs into a large library quadratic.
class RowsById {
 public:
  explicit RowsById(const SongTable& table) { Rebuild(table); }
  void Rebuild(const SongTable& table) {
    m_rows.clear();
    for (std::size_t i = 0; i < table.Size(); ++i)
      m_rows.emplace(table.Row(i).Id(), i);  // the first, as FindId
  }
  std::optional<std::size_t> Find(int id) const {
    const auto found = m_rows.find(id);
    return found == m_rows.end() ? std::nullopt : std::optional(found->second);
  }
  void Add(int id, std::size_t row) { m_rows.emplace(id, row); }

 private:
  std::unordered_map<int, std::size_t> m_rows;
};

// The installed song's row, ticked: in place of the row of the song it replaced, else at the end.
void ShowInstalled(int id, const ChartHeader& header, SongTable& table, RowsById& rows, TableChange& change) {
  SongRow row = MakeSongRow(id, header);
  row.ticked = true;
  if (const auto existing = rows.Find(id)) {
    row.cells[kColStatus].clear();
    table.SetRow(*existing, std::move(row));
    change.changedRows.push_back(*existing);
  } else {
    table.Append(std::move(row));
    rows.Add(id, table.Size() - 1);
    ++change.appended;
  }
}

std::string_view PackFaultReason(PackFault fault) {
  switch (fault) {
    case PackFault::kUnsupported:
      return msg::kInstallPackUnsupported;
    case PackFault::kEncrypted:
      return msg::kInstallPackEncrypted;
    case PackFault::kTooLarge:
      return msg::kInstallPackTooLarge;
    case PackFault::kNoSpace:
      return msg::kInstallPackNoSpace;
    case PackFault::kNoSong:
      return msg::kInstallPackNoSong;
    case PackFault::kWriteFailed:
      return msg::kInstallCopyFailed;
    case PackFault::kNone:
    case PackFault::kUnreadable:
      break;
  }
  return msg::kInstallPackUnreadable;
}

// Where in a pack a song was, as a path into the pack with the platform's separator.
std::string PlaceInPack(const std::string& pack, std::string place) {
  std::replace(place.begin(), place.end(), '/', kPathSeparator);  // never a GBK trail byte
  return place.empty() ? pack : JoinPath(pack, place);
}

// What installs from one pack share with the rest of the install.
struct InstallRun {
  OperationContext& ctx;
  const std::string& gbkMusicDir;
  TakenIds& taken;
  InstallOutcome& result;
  bool stopped = false, saidFull = false, lostRow = false;
  int done = 0, total = 0;  // songs, for the person watching a long install
  bool cancelled = false;

  // Says how far the install has come; false from the moment the person asked to stop.
  bool GoOn(int doneNow) {
    cancelled = cancelled || !ctx.ui.ReportProgress(doneNow, total);
    return !cancelled;
  }
};

// Installs the songs of one listed pack: the clashes are answered, and then every chosen song's files
// are unpacked in one pass to temporaries in MUSIC before any song is placed, so a damaged, encrypted or
// oversized pack, or one the disk cannot hold, changes nothing. A cancel keeps the songs whose files were
// all unpacked by then.
std::vector<Prepared> InstallPack(const std::string& pack, const PackListing& listing, InstallRun& run) {
  std::vector<InstalledSong>& songs = run.result.songs;
  const int doneBefore = run.done;
  run.done += static_cast<int>(listing.songs.size());
  if (run.stopped || !run.GoOn(doneBefore)) {
    songs.push_back({pack, std::nullopt, run.stopped ? msg::kInstallStopped : msg::kInstallCancelled});
    return {};
  }
  for (const std::string& place : listing.chartsWithoutMusic)
    songs.push_back({PlaceInPack(pack, place), std::nullopt, msg::kInstallNoMusic});
  if (listing.fault != PackFault::kNone) {
    songs.push_back({PlaceInPack(pack, listing.gbkFaultPlace), std::nullopt, PackFaultReason(listing.fault)});
    return {};
  }
  struct Chosen {
    std::size_t song;  // in `songs`
    const PackSong* from;
    ChartHeader header;
    Placement at;
  };
  std::vector<Chosen> chosen;
  const TakenIds takenBefore = run.taken;
  for (const PackSong& packed : listing.songs) {
    const std::size_t position = songs.size();
    songs.push_back({PlaceInPack(pack, packed.gbkPlace), std::nullopt, {}});
    if (run.stopped) {
      songs.back().skipped = msg::kInstallStopped;
      continue;
    }
    if (packed.header.size() < kChartHeaderSize) {
      songs.back().skipped = msg::kInstallUnreadable;
      continue;
    }
    const ChartHeader header = ParseChartHeader(packed.header);
    const auto at = ChooseId(songs.back(), header, packed.id, run.gbkMusicDir, run.taken, run.ctx.ui,
                             run.stopped, run.saidFull);
    if (!at) continue;
    run.taken.set(static_cast<std::size_t>(at->id));  // held for this song while the rest are asked
    chosen.push_back({position, &packed, header, *at});
  }
  if (chosen.empty()) return {};

  std::map<std::size_t, std::string> targets;
  std::uint64_t declared = 0;
  for (const Chosen& c : chosen) {
    const std::vector<std::string> names = SongTargets(run.gbkMusicDir, c.at.id);
    targets[c.from->musicEntry] = names[0];
    targets[c.from->chartEntry] = names[1];
    declared += c.from->musicBytes + c.from->chartBytes;
  }
  const std::uint64_t space = FreeSpaceOf(run.gbkMusicDir).value_or(UINT64_MAX);
  // The songs not chosen are done already; a chosen one is two entries.
  const int doneFirst = doneBefore + static_cast<int>(listing.songs.size() - chosen.size());
  PackUnpacked unpacked;
  if (declared > space)
    unpacked.fault = PackFault::kNoSpace;
  else
    unpacked = UnpackSongEntries(pack, targets, space, [&](std::size_t finished) {
      return run.GoOn(doneFirst + static_cast<int>(finished / 2));
    });
  if (unpacked.fault != PackFault::kNone) {
    run.taken = takenBefore;
    for (const Chosen& c : chosen) songs[c.song].skipped = PackFaultReason(unpacked.fault);
    if (!unpacked.gbkFaultPlace.empty())
      songs.push_back(
          {PlaceInPack(pack, unpacked.gbkFaultPlace), std::nullopt, PackFaultReason(unpacked.fault)});
    return {};
  }
  std::vector<Prepared> ready;
  for (const Chosen& c : chosen) {
    const auto music = unpacked.temporaries.find(c.from->musicEntry),
               chart = unpacked.temporaries.find(c.from->chartEntry);
    const auto end = unpacked.temporaries.end();
    if (music != end && chart != end) {
      ready.push_back(
          {c.song, c.header, c.at, {music->second, chart->second}, SongTargets(run.gbkMusicDir, c.at.id)});
      continue;
    }
    // Cancelled before this song was whole: none of it goes in.
    for (const auto& part : {music, chart})
      if (part != end) RemoveFile(part->second);
    songs[c.song].skipped = msg::kInstallCancelled;
    run.taken.set(static_cast<std::size_t>(c.at.id), takenBefore.test(static_cast<std::size_t>(c.at.id)));
  }
  return ready;
}

// Puts a song added to a free ID in place: its chart's rename makes it whole for the game at once. False,
// with `song.skipped` set and its files gone, when it is not there.
bool PlaceAdded(InstalledSong& song, const Prepared& p, OperationJournal& journal) {
  if (MoveFilesTo({p.temps[1]}, {p.targets[1]}) == AllOrNone::kAll) return true;
  if (!RemoveAll(p.temps)) journal.KeepForRecovery();  // the next opening removes what is left
  song.skipped = msg::kInstallCopyFailed;
  return false;
}

// Makes a batch of copied songs durable once and puts them in place: one flush of every copy, the
// replacing songs written down (the added ones were before their copies), then each song placed, and the
// folder flushed once as the journal goes. A crash anywhere leaves each song whole on one side once the
// journal is acted on.
void CommitBatch(std::vector<Prepared>& batch, OperationJournal& journal, InstallRun& run) {
  if (batch.empty()) return;
  std::vector<std::string> files;
  std::vector<JournalEntry> entries;
  for (const Prepared& p : batch) {
    files.insert(files.end(), p.temps.begin(), p.temps.end());
    if (!p.added)
      entries.push_back({.kind = JournalEntry::Kind::kInstall,
                         .id = p.at.id,
                         .replace = p.at.replace,
                         .musicTemporary = FileNameOf(p.temps[0]),
                         .chartTemporary = FileNameOf(p.temps[1])});
  }
  const bool flushed = FlushCopies(files);
  const bool written = flushed && (entries.empty() || journal.Write(entries, run.ctx.ui));
  bool halted = false;  // a history that cannot be written stops the songs after it, in this batch too
  RowsById rows(run.ctx.table);
  for (const Prepared& p : batch) {
    InstalledSong& song = run.result.songs[p.song];
    if (!written || halted) {
      if (!RemoveAll(p.temps) && p.added) journal.KeepForRecovery();
      song.skipped = !flushed   ? msg::kInstallCopyFailed
                     : !written ? msg::kInstallNotWritten
                                : msg::kInstallStopped;
      continue;
    }
    const bool lostBefore = run.lostRow;
    const bool placed = p.added ? PlaceAdded(song, p, journal)
                                : PlaceSong(song, p, run.gbkMusicDir, run.ctx, halted, run.lostRow);
    if (run.lostRow != lostBefore) rows.Rebuild(run.ctx.table);  // a row left, and the rows after it moved
    if (!placed) continue;
    song.id = p.at.id;
    ShowInstalled(p.at.id, p.header, run.ctx.table, rows, run.result.change);
  }
  batch.clear();
  run.stopped = run.stopped || halted;
}

// Copies one chosen song; false, with `song.skipped` set and nothing left, when it could not. A song for
// a free ID gets its chart beside its name (`chartTemporary`, written down already) and its music
// straight under its own; one that replaces another is copied to temporaries, its clash having asked
// about it by name. The chart is looked at through the same open file it is copied from.
bool CopyWaiting(const Waiting& w, const std::string& chartTemporary, InstallRun& run, Prepared& p) {
  InstalledSong& song = run.result.songs[w.song];
  p = Prepared{w.song, w.header.value_or(ChartHeader{}), w.at, {}, SongTargets(run.gbkMusicDir, w.at.id)};
  if (w.at.replace) {
    const auto music = CopyBeside(w.music, p.targets[0], /*flush=*/false);
    const auto chart = music ? CopyBeside(song.source, p.targets[1], /*flush=*/false) : std::nullopt;
    if (!chart) {
      if (music) RemoveFile(*music);
      song.skipped = msg::kInstallCopyFailed;
      return false;
    }
    p.temps = {*music, *chart};
    return true;
  }
  const bool needHeader = !w.header;
  const CopyResult chart =
      CopyToNewFile(song.source, chartTemporary, kChartHeaderSize, [&](std::span<const std::uint8_t> head) {
        if (head.size() < kChartHeaderSize) return false;
        if (needHeader) p.header = ParseChartHeader(head);
        return true;
      });
  if (chart == CopyResult::kCopied && CopyToNewFile(w.music, p.targets[0]) == CopyResult::kCopied) {
    p.temps = {p.targets[0], chartTemporary};
    p.added = true;
    return true;
  }
  if (chart == CopyResult::kCopied) RemoveFile(chartTemporary);
  song.skipped = chart == CopyResult::kRefused ? msg::kInstallUnreadable : msg::kInstallCopyFailed;
  return false;
}

// Copies and places the songs chosen from folders, as one batch. The songs going to free IDs are written
// down first, so whatever a crash leaves of their files, even at their own names, the next opening
// removes; the copies, all of them before anything in MUSIC changes (a full disk, the likeliest failure,
// comes first), follow as the progress goes.
void CommitFolderSongs(std::vector<Waiting>& waiting, InstallRun& run) {
  if (waiting.empty()) return;
  std::vector<InstalledSong>& songs = run.result.songs;
  const auto release = [&](const Waiting& w) {
    if (!w.at.replace) run.taken.reset(static_cast<std::size_t>(w.at.id));
  };
  OperationJournal journal(run.gbkMusicDir);
  std::vector<std::string> chartTemporaries(waiting.size());
  std::vector<JournalEntry> added;
  for (std::size_t i = 0; i < waiting.size(); ++i) {
    if (waiting[i].at.replace) continue;
    chartTemporaries[i] = NewTemporaryNameBeside(ChartPath(run.gbkMusicDir, waiting[i].at.id));
    added.push_back({.kind = JournalEntry::Kind::kAdd,
                     .id = waiting[i].at.id,
                     .chartTemporary = FileNameOf(chartTemporaries[i])});
  }
  if (!added.empty() && !journal.Write(added, run.ctx.ui)) {
    for (const Waiting& w : waiting) {
      songs[w.song].skipped = msg::kInstallNotWritten;
      release(w);
    }
    waiting.clear();
    return;
  }
  std::vector<Prepared> batch;
  for (std::size_t i = 0; i < waiting.size(); ++i) {
    const Waiting& w = waiting[i];
    // The songs copied so far are still placed, each whole, below.
    if (!run.GoOn(run.done++)) {
      songs[w.song].skipped = msg::kInstallCancelled;
      release(w);
      continue;
    }
    Prepared p;
    if (CopyWaiting(w, chartTemporaries[i], run, p))
      batch.push_back(std::move(p));
    else
      release(w);
  }
  waiting.clear();
  CommitBatch(batch, journal, run);
}

}  // namespace

InstallOutcome InstallSongs(OperationContext& ctx, const std::vector<std::string>& gbkSources) {
  InstallOutcome result;
  const auto started = StartOperation(ctx, detail::kNeedMusic | detail::kWrites, {}, result);
  if (!started) return result;
  const std::string& gbkMusicDir = started->folders.musicDir;
  std::vector<std::string> packs;
  FolderListings folders;
  const std::vector<std::string> charts = SourceCharts(gbkSources, result.songs, packs, folders);
  TakenIds taken = TakenIdsIn(gbkMusicDir);
  const std::string musicFolder = NormalMusicFolder(gbkMusicDir);
  InstallRun run{ctx, gbkMusicDir, taken, result};
  // Packs are listed first, so that the progress knows every song from the start.
  std::vector<PackListing> listings;
  run.total = static_cast<int>(charts.size());
  for (const std::string& pack : packs) {
    listings.push_back(ListSongPack(pack));
    // Numbered in the order of their IDs, as songs from a folder are.
    std::stable_sort(listings.back().songs.begin(), listings.back().songs.end(),
                     [](const PackSong& a, const PackSong& b) { return a.id < b.id; });
    run.total += static_cast<int>(listings.back().songs.size());
  }
  if (!charts.empty()) run.GoOn(0);

  // The songs of folders are chosen first (their IDs, and the answers to their clashes), then copied and
  // placed as one batch; a clash with a song still waiting commits the batch first, so it is asked
  // about the song as it will be.
  std::vector<Waiting> waiting;
  std::set<int> waitingIds;
  std::map<std::string, bool> folderIsMusic;  // asked once per source folder, not once per song
  for (const std::string& chart : charts) {
    const std::size_t index = result.songs.size();
    result.songs.push_back(InstalledSong{chart, std::nullopt, {}});
    InstalledSong& song = result.songs[index];
    const auto skip = [&](std::string_view why) {
      result.songs[index].skipped = why;
      ++run.done;
    };
    if (run.stopped || run.cancelled) {
      skip(run.stopped ? msg::kInstallStopped : msg::kInstallCancelled);
      continue;
    }
    // Copying a song of this very folder onto itself or beside itself is never what was meant, whichever
    // spelling or link leads to the folder.
    const std::string from = FolderOf(chart);
    auto known = folderIsMusic.find(from);
    if (known == folderIsMusic.end())
      known =
          folderIsMusic.emplace(from, NormalMusicFolder(from) == musicFolder || SameFile(from, gbkMusicDir))
              .first;
    if (known->second) {
      skip(msg::kInstallAlreadyInMusic);
      continue;
    }
    if (chart.find(kTemporaryMarker) != std::string::npos) {
      skip(msg::kInstallUnreadable);
      continue;
    }
    auto music = MusicBeside(chart, folders);
    if (!music) {
      skip(msg::kInstallNoMusic);
      continue;
    }
    const auto nameId = ParseChartFileName(FileNameOf(chart), /*ignoreCase=*/true);
    if (nameId && waitingIds.count(*nameId)) {
      CommitFolderSongs(waiting, run);
      waitingIds.clear();
      if (run.stopped || run.cancelled) {
        skip(run.stopped ? msg::kInstallStopped : msg::kInstallCancelled);
        continue;
      }
    }
    // A song going to the free ID of its name needs no look at its chart until it is copied; a clash
    // names the song, so its chart is read now.
    std::optional<ChartHeader> header;
    if (!nameId || taken.test(static_cast<std::size_t>(*nameId))) {
      const auto head = ReadFilePrefix(chart, kChartHeaderSize);
      if (!head || head->size() < kChartHeaderSize) {
        skip(msg::kInstallUnreadable);
        continue;
      }
      header = ParseChartHeader(*head);
    }
    const auto at = ChooseId(song, header.value_or(ChartHeader{}), nameId, gbkMusicDir, taken, ctx.ui,
                             run.stopped, run.saidFull);
    if (!at) {
      ++run.done;
      continue;
    }
    taken.set(static_cast<std::size_t>(at->id));  // held for this song while the rest are chosen
    waitingIds.insert(at->id);
    waiting.push_back({index, std::move(*music), std::move(header), *at});
  }
  CommitFolderSongs(waiting, run);
  // A pack's songs are unpacked together, then placed as one batch like the others.
  for (std::size_t i = 0; i < packs.size(); ++i) {
    std::vector<Prepared> batch = InstallPack(packs[i], listings[i], run);
    OperationJournal journal(gbkMusicDir);
    CommitBatch(batch, journal, run);
  }
  if (!run.cancelled && run.total > 0) ctx.ui.ReportProgress(run.total, run.total);
  // Rows named before a row left no longer stand where they were named.
  if (run.lostRow) result.change = TableChange{.reset = true};
  const bool all =
      std::all_of(result.songs.begin(), result.songs.end(), [](const InstalledSong& s) { return s.id; });
  result.outcome = run.cancelled ? Outcome::kCancelled : all ? Outcome::kDone : Outcome::kFailed;
  return result;
}

std::string InstallReportTextGbk(const InstallOutcome& outcome) {
  std::size_t installed = 0;
  for (const InstalledSong& song : outcome.songs) installed += song.id ? 1 : 0;
  std::string text =
      outcome.outcome == Outcome::kCancelled ? Gbk(msg::kInstallReportCancelled) + "\n" : std::string();
  text += Gbk(msg::kInstallReportBefore) + std::to_string(installed) + Gbk(msg::kInstallReportMiddle) +
          std::to_string(outcome.songs.size() - installed) + Gbk(msg::kInstallReportAfter);
  constexpr std::size_t kMaxLines = 20;
  for (std::size_t i = 0; i < outcome.songs.size() && i < kMaxLines; ++i) {
    const InstalledSong& song = outcome.songs[i];
    text += "\n" + song.source;
    text += song.id ? Gbk(msg::kInstallReportTo) + std::to_string(*song.id)
                    : Gbk(msg::kInstallReportSkipped) + Gbk(song.skipped);
  }
  if (outcome.songs.size() > kMaxLines)
    text +=
        "\n" + Gbk(msg::kListTotalBefore) + std::to_string(outcome.songs.size()) + Gbk(msg::kListTotalAfter);
  return text;
}

}  // namespace vx
