#include "core/operations/install_songs.h"

#include <algorithm>
#include <filesystem>

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

// A name GBK cannot spell, shown with each such character as its code point ("U+1F3B5").
std::string NameWithCodePoints(std::string_view utf8) {
  std::string shown;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead >= 0xF0)
      length = 4;
    else if (lead >= 0xE0)
      length = 3;
    else if (lead >= 0xC0)
      length = 2;
    const std::string_view one = utf8.substr(i, length);
    const auto gbk = GbkFromUtf8(one);
    shown += gbk ? *gbk : CodePointName(one);
    i += length;
  }
  return shown;
}

// The music file that goes with a source chart: the name with .vxm in the same folder, matched without
// regard to case (packs made on Windows mix VXN with vxm). Only a regular file that can be read counts: a
// chart installed without its music is a song the game cannot play.
std::optional<std::string> MusicBeside(const std::string& chart) {
  const std::string folder = FolderOf(chart), name = FileNameOf(chart);
  const std::string wanted = name.substr(0, name.size() - 1) + "m";
  std::vector<std::string> candidates{MusicBesideChart(chart)};
  for (const std::string& native :
       ListFolderNames(folder.empty() ? "." : folder).value_or(std::vector<std::string>{}))
    if (const auto gbk = GbkFromUtf8(native); gbk && EqualsIgnoringAsciiCase(*gbk, wanted))
      candidates.push_back(JoinPath(folder, *gbk));
  for (const std::string& music : candidates)
    if (KindOfPath(music) == PathKind::kRegularFile && FileSize(music)) return music;
  return std::nullopt;
}

// The source charts, each *.vxn named or inside a named folder; what is neither is refused right away, and
// so is a folder without a song or a name inside it that GBK cannot spell (it could not be named to the
// person nor found again). A source given twice, under any spelling, counts once.
std::vector<std::string> SourceCharts(const std::vector<std::string>& sources,
                                      std::vector<InstalledSong>& refused) {
  std::vector<std::string> charts;
  for (const std::string& source : sources) {
    if (DirectoryExists(source)) {
      std::vector<std::string> inside;
      for (const std::string& native : ListFolderNames(source).value_or(std::vector<std::string>{})) {
        const auto gbk = GbkFromUtf8(native);
        if (!gbk)
          refused.push_back(
              {JoinPath(source, NameWithCodePoints(native)), std::nullopt, msg::kInstallNameUnmappable});
        else if (HasChartExtension(*gbk))
          inside.push_back(JoinPath(source, *gbk));
      }
      if (inside.empty()) refused.push_back({source, std::nullopt, msg::kInstallFolderWithoutSongs});
      std::sort(inside.begin(), inside.end());
      charts.insert(charts.end(), inside.begin(), inside.end());
    } else if (HasChartExtension(source)) {
      charts.push_back(source);
    } else {
      refused.push_back({source, std::nullopt, msg::kInstallNotChart});
    }
  }
  std::vector<std::string> unique;
  for (const std::string& chart : charts)
    if (std::none_of(unique.begin(), unique.end(),
                     [&](const std::string& seen) { return SameFile(seen, chart); }))
      unique.push_back(chart);
  return unique;
}

void RemoveAll(const std::vector<std::string>& paths) {
  for (const std::string& path : paths) RemoveFile(path);
}

}  // namespace

InstallOutcome InstallSongs(SongTable& table, std::string_view gbkMusicDir,
                            const std::vector<std::string>& gbkSources, Interaction& ui, History* history) {
  InstallOutcome result;
  const std::vector<std::string> charts = SourceCharts(gbkSources, result.songs);
  TakenIds taken = TakenIdsIn(gbkMusicDir);
  const std::string musicFolder = NormalMusicFolder(gbkMusicDir);
  bool stopped = false, saidFull = false;

  for (const std::string& chart : charts) {
    InstalledSong& song = result.songs.emplace_back(InstalledSong{chart, std::nullopt, {}});
    if (stopped) {
      song.skipped = msg::kInstallStopped;
      continue;
    }
    // Copying a song of this very folder onto itself or beside itself is never what was meant, whichever
    // spelling or link leads to the folder.
    if (NormalMusicFolder(FolderOf(chart)) == musicFolder ||
        SameFile(FolderOf(chart), std::string(gbkMusicDir))) {
      song.skipped = msg::kInstallAlreadyInMusic;
      continue;
    }
    const auto head = ReadFilePrefix(chart, kChartHeaderSize);
    if (!head || head->size() < kChartHeaderSize || chart.find(kTemporaryMarker) != std::string::npos) {
      song.skipped = msg::kInstallUnreadable;
      continue;
    }
    const auto music = MusicBeside(chart);
    if (!music) {
      song.skipped = msg::kInstallNoMusic;
      continue;
    }
    const ChartHeader header = ParseChartHeader(*head);
    const auto nameId = ParseChartFileName(FileNameOf(chart), /*ignoreCase=*/true);

    int id = -1;
    bool replace = false;
    if (nameId && !taken.test(static_cast<std::size_t>(*nameId))) {
      id = *nameId;
    } else {
      std::string question;
      std::vector<ClashAnswer> offered;
      if (nameId) {
        question = Gbk(msg::kInstallClashTaken) + "\n" + Gbk(msg::kInstallClashThere) +
                   SongInFolderLabelGbk(gbkMusicDir, *nameId) + "\n" + Gbk(msg::kInstallClashComing) +
                   SongLabelGbk(*nameId, header.title) + "\n" + chart;
        offered = {ClashAnswer::kNextFreeId, ClashAnswer::kReplace, ClashAnswer::kSkip, ClashAnswer::kStop};
      } else {
        question =
            Gbk(msg::kInstallClashNoId) + "\n" + Gbk(msg::kInstallClashComing) + header.title + "\n" + chart;
        offered = {ClashAnswer::kNextFreeId, ClashAnswer::kSkip, ClashAnswer::kStop};
      }
      switch (ui.AskClash(question, offered)) {
        case ClashAnswer::kSkip:
          song.skipped = msg::kInstallSkipped;
          continue;
        case ClashAnswer::kStop:
          stopped = true;
          song.skipped = msg::kInstallStopped;
          continue;
        case ClashAnswer::kReplace:
          if (!nameId) {  // not offered without an ID
            song.skipped = msg::kInstallSkipped;
            continue;
          }
          id = *nameId;
          replace = true;
          break;
        case ClashAnswer::kNextFreeId: {
          const auto free = LowestFreeId(taken);
          if (!free) {
            if (!saidFull) detail::Say(ui, msg::kInstallLibraryFull);
            saidFull = true;
            song.skipped = msg::kInstallNoFreeId;
            continue;
          }
          id = *free;
          break;
        }
      }
    }

    // The copies come first: the likeliest failure, a full disk, must come before anything in MUSIC changes.
    const std::string targetChart = ChartPath(gbkMusicDir, id), targetMusic = MusicPath(gbkMusicDir, id);
    std::vector<std::string> temps, targets;
    const auto temp = CopyBeside(*music, targetMusic);
    if (!temp) {
      song.skipped = msg::kInstallCopyFailed;
      continue;
    }
    temps.push_back(*temp);
    targets.push_back(targetMusic);
    const auto tempChart = CopyBeside(chart, targetChart);
    if (!tempChart) {
      RemoveAll(temps);
      song.skipped = msg::kInstallCopyFailed;
      continue;
    }
    temps.push_back(*tempChart);
    targets.push_back(targetChart);  // last: the song is not there for the game until its chart is

    std::vector<std::string> there;  // the files of the replaced song, once they are in the trash
    if (replace) {
      if (const auto old = ReadWholeFile(targetChart);
          history && old && !history->Record(gbkMusicDir, id, HistoryOperation::kInstallReplace, *old)) {
        RemoveAll(temps);
        detail::SayWithLines(ui, msg::kHistoryNotWritten, {history->Folder()});
        song.skipped = msg::kInstallHistoryFailed;
        stopped = true;
        continue;
      }
      for (const std::string& path : {targetChart, targetMusic})
        if (FileExists(path)) there.push_back(path);
      if (ui.MoveToTrash(there) != AllOrNone::kAll) {
        RemoveAll(temps);
        song.skipped = msg::kInstallReplaceFailed;
        continue;
      }
    }
    if (MoveFilesTo(temps, targets) != AllOrNone::kAll) {
      RemoveAll(temps);
      song.skipped = msg::kInstallCopyFailed;
      // The replaced song comes back out of the trash; where the trash cannot give it back, the person is
      // told where it is.
      if (replace && !ui.RestoreFromTrash(there)) {
        song.skipped = msg::kInstallFailedAfterReplace;
        if (const auto row = table.FindId(id)) table.RemoveRow(*row);
      }
      continue;
    }

    taken.set(static_cast<std::size_t>(id));
    song.id = id;
    SongRow row = MakeSongRow(id, header);
    row.ticked = true;
    if (const auto existing = table.FindId(id)) {
      row.cells[kColStatus].clear();
      table.SetRow(*existing, std::move(row));
      result.rowsChanged.push_back(*existing);
    } else {
      table.Append(std::move(row));
      ++result.rowsAppended;
    }
  }
  const bool all =
      std::all_of(result.songs.begin(), result.songs.end(), [](const InstalledSong& s) { return s.id; });
  result.outcome = all ? Outcome::kDone : Outcome::kFailed;
  return result;
}

std::string InstallReportTextGbk(const InstallOutcome& outcome) {
  std::size_t installed = 0;
  for (const InstalledSong& song : outcome.songs) installed += song.id ? 1 : 0;
  std::string text = Gbk(msg::kInstallReportBefore) + std::to_string(installed) +
                     Gbk(msg::kInstallReportMiddle) + std::to_string(outcome.songs.size() - installed) +
                     Gbk(msg::kInstallReportAfter);
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
