// game-list-read and check.
#include "cli/commands.h"
#include "cli/terminal_interaction.h"
#include "core/formats/chart_header.h"
#include "core/io/file_io.h"
#include "core/library/scan.h"
#include "core/operations/library_check_ops.h"
#include "core/operations/open_song_list.h"
#include "core/text/gbk.h"

namespace vx::cli {

int CmdGameListRead(const std::vector<std::string>& args, std::ostream& out, std::ostream&) {
  const Arguments a = ParseArguments(args, 1, {.single = {"music"}});
  ExpectPositionals(a, 1, "game-list-read");
  const std::string path = GbkPathArgument(a.positional[0]);
  // One byte more than the largest list is enough to tell a file that is too large.
  const auto bytes = ReadFilePrefix(path, song_list::kMaxFileSize + 1);
  if (!bytes) throw Failure{kExitFailed, "cannot read " + a.positional[0]};
  const SongListReadResult read = ReadSongList(*bytes);
  if (const auto* error = std::get_if<SongListError>(&read))
    throw Failure{kExitFailed, a.positional[0] + ": " + Utf8FromGbk(SongListErrorTextGbk(*error))};

  const SongList& list = std::get<SongList>(read);
  // With a MUSIC folder each record also says which song of that folder reopening the list ticks.
  std::optional<SongListApplied> applied;
  if (const auto music = a.Option("music")) {
    const std::string dir = GbkPathArgument(*music);
    if (!DirectoryExists(dir)) throw Failure{kExitFailed, "not a folder: " + *music};
    SongTable table;
    table.Assign(ScanMusicFolder(dir));
    applied = ApplySongList(table, dir, list);
  }
  out << "charts " << list.charts.size() << '\n';
  for (std::size_t i = 0; i < list.charts.size(); ++i) {
    const ChartHeader h = ParseChartHeader(list.charts[i]);
    out << i + 1 << '\t' << EscapeForLine(Utf8FromGbk(h.title)) << '\t' << LevelText(h.levelEasy) << '\t'
        << LevelText(h.levelNormal) << '\t' << LevelText(h.levelHard) << '\t'
        << EscapeForLine(Utf8FromGbk(h.noter)) << '\t' << BpmText(h.bpmLow, h.bpmHigh) << '\t'
        << PlayTimeText(h.playTime);
    if (applied) {
      const auto id = applied->recordIds[i];
      out << '\t' << (id ? std::to_string(*id) : "-");
    }
    out << '\n';
  }
  out << "marks " << list.statuses.size() << '\n';
  for (const SongListStatus& s : list.statuses)
    out << s.id << '\t' << Utf8FromGbk(StatusMarkTextGbk(s.mark)) << '\n';
  return kExitOk;
}

int CmdCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const Arguments a = ParseArguments(args, 1, {.flags = {"remove-temp"}});
  ExpectPositionals(a, 1, "check");
  const std::string music = OpenMusicFolder(a.positional[0], err);
  const LibraryReport report = CheckLibrary(music);
  for (const std::string& line : LibraryReportLinesGbk(report))
    out << EscapeForLine(Utf8FromGbk(line)) << '\n';
  if (a.Has("remove-temp") && HasLeftoverTemporaries(report)) {
    TerminalInteraction ui(err);
    SongTable table;
    OperationContext ctx{table, {}, ui, nullptr, FolderSettings{music, {}, {}}};
    RemoveLeftoverTemporaries(ctx, report);
    // What was removed is no longer a finding: the exit code says whether anything is still wrong.
    return CheckLibrary(music).Clean() ? kExitOk : kExitFailed;
  }
  return report.Clean() ? kExitOk : kExitFailed;
}

}  // namespace vx::cli
