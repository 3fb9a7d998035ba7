#include "core/operations/install_songs.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>

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
// regard to case (packs made on Windows mix VXN with vxm). Only a regular file that can be read counts: a
// chart installed without its music is a song the game cannot play.
// The names of each source folder, listed once for all its charts and kept by their lower-case GBK
// spelling (listing it per chart made an install of a thousand songs quadratic, and so did converting
// every name of the listing for every chart).
using FolderListings = std::map<std::string, std::multimap<std::string, std::string>>;

std::optional<std::string> MusicBeside(const std::string& chart, FolderListings& listings) {
  const std::string folder = FolderOf(chart), name = FileNameOf(chart);
  const std::string wanted = name.substr(0, name.size() - 1) + "m";
  std::vector<std::string> candidates{MusicBesideChart(chart)};
  auto listed = listings.find(folder);
  if (listed == listings.end()) {
    std::multimap<std::string, std::string> byLowerName;
    for (const std::string& native :
         ListFolderNames(folder.empty() ? "." : folder).value_or(std::vector<std::string>{}))
      if (const auto gbk = GbkFromUtf8(native)) byLowerName.emplace(LowerAscii(*gbk), *gbk);
    listed = listings.emplace(folder, std::move(byLowerName)).first;
  }
  const auto [first, last] = listed->second.equal_range(LowerAscii(wanted));
  for (auto it = first; it != last; ++it) candidates.push_back(JoinPath(folder, it->second));
  for (const std::string& music : candidates)
    if (FileSize(music)) return music;  // a size only for a regular file
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
                                      std::vector<InstalledSong>& refused, std::vector<std::string>& packs) {
  std::vector<std::string> charts;
  for (const std::string& source : sources) {
    if (DirectoryExists(source)) {
      std::vector<std::string> inside;
      for (const std::string& native : ListFolderNames(source).value_or(std::vector<std::string>{})) {
        const auto gbk = GbkFromUtf8(native);
        if (!gbk)
          refused.push_back(
              {JoinPath(source, GbkShowingCodePoints(native)), std::nullopt, msg::kInstallNameUnmappable});
        else if (HasChartExtension(*gbk))
          inside.push_back(JoinPath(source, *gbk));
      }
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

void RemoveAll(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) RemoveFile(path);
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
};

// The music's and the chart's final names, the chart last: the song is not there for the game until its
// chart is.
std::vector<std::string> SongTargets(std::string_view gbkMusicDir, int id) {
  return {MusicPath(gbkMusicDir, id), ChartPath(gbkMusicDir, id)};
}

// Copies the song's files beside their names in MUSIC, unflushed; false, with `song.skipped` set, when
// it could not (and then nothing is left). The copies come first: the likeliest failure, a full disk,
// must come before anything in MUSIC changes.
bool CopySong(InstalledSong& song, const std::string& music, Placement at, std::string_view gbkMusicDir,
              Prepared& prepared) {
  const std::string targetChart = ChartPath(gbkMusicDir, at.id), targetMusic = MusicPath(gbkMusicDir, at.id);
  const auto temp = CopyBeside(music, targetMusic, /*flush=*/false);
  if (!temp) {
    song.skipped = msg::kInstallCopyFailed;
    return false;
  }
  const auto tempChart = CopyBeside(song.source, targetChart, /*flush=*/false);
  if (!tempChart) {
    RemoveFile(*temp);
    song.skipped = msg::kInstallCopyFailed;
    return false;
  }
  prepared.temps = {*temp, *tempChart};
  prepared.targets = {targetMusic, targetChart};  // the chart last: the game sees the song once it is there
  prepared.at = at;
  return true;
}

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

// The installed song's row, ticked: in place of the row of the song it replaced, else at the end.
void ShowInstalled(int id, const ChartHeader& header, SongTable& table, TableChange& change) {
  SongRow row = MakeSongRow(id, header);
  row.ticked = true;
  if (const auto existing = table.FindId(id)) {
    row.cells[kColStatus].clear();
    table.SetRow(*existing, std::move(row));
    change.changedRows.push_back(*existing);
  } else {
    table.Append(std::move(row));
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

}  // namespace

InstallOutcome InstallSongs(OperationContext& ctx, const std::vector<std::string>& gbkSources) {
  InstallOutcome result;
  const auto started = StartOperation(ctx, detail::kNeedMusic | detail::kWrites, {}, result);
  if (!started) return result;
  const std::string& gbkMusicDir = started->folders.musicDir;
  std::vector<std::string> packs;
  const std::vector<std::string> charts = SourceCharts(gbkSources, result.songs, packs);
  TakenIds taken = TakenIdsIn(gbkMusicDir);
  const std::string musicFolder = NormalMusicFolder(gbkMusicDir);
  InstallRun run{ctx, gbkMusicDir, taken, result};
  bool &stopped = run.stopped, &saidFull = run.saidFull, &lostRow = run.lostRow;
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

  // Songs are copied in batches and made durable once per batch: every copy written, one flush, the
  // journal, then the renames and one flush of the folder. A crash anywhere leaves each song whole on
  // one side once the journal is acted on.
  std::vector<Prepared> batch;
  FolderListings folders;
  const auto commit = [&] {
    if (batch.empty()) return;
    std::vector<std::string> temps;
    std::vector<JournalEntry> entries;
    for (const Prepared& p : batch) {
      temps.insert(temps.end(), p.temps.begin(), p.temps.end());
      entries.push_back({.kind = JournalEntry::Kind::kInstall,
                         .id = p.at.id,
                         .replace = p.at.replace,
                         .musicTemporary = FileNameOf(p.temps[0]),
                         .chartTemporary = FileNameOf(p.temps[1])});
    }
    OperationJournal journal(gbkMusicDir);
    const bool flushed = FlushCopies(temps);
    const bool written = flushed && journal.Write(entries, ctx.ui);
    bool halted = false;  // a history that cannot be written stops the songs after it, in this batch too
    for (const Prepared& p : batch) {
      InstalledSong& song = result.songs[p.song];
      if (!written || halted) {
        RemoveAll(p.temps);
        song.skipped = !flushed   ? msg::kInstallCopyFailed
                       : !written ? msg::kInstallNotWritten
                                  : msg::kInstallStopped;
        continue;
      }
      if (!PlaceSong(song, p, gbkMusicDir, ctx, halted, lostRow)) continue;
      song.id = p.at.id;
      ShowInstalled(p.at.id, p.header, ctx.table, result.change);
    }
    batch.clear();
    stopped = stopped || halted;
  };
  std::set<int> waiting;                      // IDs of the songs in the batch
  std::map<std::string, bool> folderIsMusic;  // asked once per source folder, not once per song
  for (const std::string& chart : charts) {
    const std::size_t index = result.songs.size();
    result.songs.push_back(InstalledSong{chart, std::nullopt, {}});
    if (stopped) {
      result.songs[index].skipped = msg::kInstallStopped;
      continue;
    }
    // The songs copied so far are still placed, each whole, by the commit below.
    if (!run.GoOn(run.done++)) {
      result.songs[index].skipped = msg::kInstallCancelled;
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
      result.songs[index].skipped = msg::kInstallAlreadyInMusic;
      continue;
    }
    const auto head = ReadFilePrefix(chart, kChartHeaderSize);
    if (!head || head->size() < kChartHeaderSize || chart.find(kTemporaryMarker) != std::string::npos) {
      result.songs[index].skipped = msg::kInstallUnreadable;
      continue;
    }
    const auto music = MusicBeside(chart, folders);
    if (!music) {
      result.songs[index].skipped = msg::kInstallNoMusic;
      continue;
    }
    const ChartHeader header = ParseChartHeader(*head);
    const auto nameId = ParseChartFileName(FileNameOf(chart), /*ignoreCase=*/true);
    // A clash with a song still waiting in the batch is asked about the song as it will be.
    if (nameId && waiting.count(*nameId)) {
      commit();
      waiting.clear();
      if (stopped) {
        result.songs[index].skipped = msg::kInstallStopped;
        continue;
      }
    }
    const auto at =
        ChooseId(result.songs[index], header, nameId, gbkMusicDir, taken, ctx.ui, stopped, saidFull);
    if (!at) continue;
    Prepared prepared{index, header, {}, {}, {}};
    if (!CopySong(result.songs[index], *music, *at, gbkMusicDir, prepared)) continue;
    taken.set(static_cast<std::size_t>(at->id));
    waiting.insert(at->id);
    batch.push_back(std::move(prepared));
  }
  commit();
  // A pack's songs are unpacked together, then placed as one batch like the others.
  for (std::size_t i = 0; i < packs.size(); ++i) {
    batch = InstallPack(packs[i], listings[i], run);
    commit();
  }
  if (!run.cancelled && run.total > 0) ctx.ui.ReportProgress(run.total, run.total);
  // Rows named before a row left no longer stand where they were named.
  if (lostRow) result.change = TableChange{.reset = true};
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
