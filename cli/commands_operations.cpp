// The operations on songs. text-list, batch-text, game-list, export-covers, import-cover, edit, delete
// and move work on ticked songs: each scans the MUSIC folder into a table, ticks and sorts it as --ids and
// --sort say, and runs the core function the window's menu runs, with the folders its arguments name.
// install, renumber and restore change the songs they name and keep replaced charts in the history;
// history lists that history.
#include <filesystem>

#include "cli/commands.h"
#include "cli/terminal_interaction.h"
#include "core/history/history.h"
#include "core/io/file_io.h"
#include "core/library/scan.h"
#include "core/library/sort.h"
#include "core/operations/covers.h"
#include "core/operations/game_list.h"
#include "core/operations/history_restore.h"
#include "core/operations/install_songs.h"
#include "core/operations/remove_songs.h"
#include "core/operations/song_edit.h"
#include "core/operations/song_numbers.h"
#include "core/operations/status_marks.h"
#include "core/operations/text_lists.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"

namespace vx::cli {
namespace {

namespace fs = std::filesystem;

// The folders of a command that works on ticked songs, as the window would take them from its settings
// file, which holds no longer path.
FolderSettings CheckedFolders(FolderSettings folders) {
  for (const std::string* folder : {&folders.musicDir, &folders.moveDir, &folders.imageDir})
    if (folder->size() > kMaxFolderBytes)
      throw Failure{kExitFailed, "folder path longer than 255 bytes: " + Utf8FromGbk(*folder)};
  return folders;
}

// A command's context: its folders come from its arguments, never from a settings file.
OperationContext ContextFor(SongTable& table, Interaction& ui, FolderSettings folders,
                            History* history = nullptr) {
  return OperationContext{table, {}, ui, history, std::move(folders)};
}

// "-o FILE" is accepted as "--o FILE", beside the --options the shared parser knows.
Arguments ParseOperationArguments(const std::vector<std::string>& args, const OptionSpec& accepted) {
  std::vector<std::string> rewritten(args);
  for (std::string& a : rewritten)
    if (a == "-o") a = "--o";
  return ParseArguments(rewritten, 1, accepted);
}

// --ids 7,12,100-120: IDs and inclusive ranges.
std::vector<bool> ParseIds(const std::string& text) {
  std::vector<bool> ids(kMaxSongs, false);
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    std::string item = text.substr(start, comma - start);
    while (!item.empty() && item.front() == ' ') item.erase(item.begin());
    while (!item.empty() && item.back() == ' ') item.pop_back();
    if (item.empty()) throw Failure{kExitUsage, "--ids: empty item in '" + text + "'"};
    const std::size_t dash = item.find('-', 1);
    const int first = ParseInt(item.substr(0, dash), "--ids");
    const int last = dash == std::string::npos ? first : ParseInt(item.substr(dash + 1), "--ids");
    if (first < 0 || last < first) throw Failure{kExitUsage, "--ids: not an ID or a rising range: " + item};
    // IDs past the last one the game reads cannot have a row; they are ignored like any ID without one.
    for (int id = first; id <= last && id < kMaxSongs; ++id) ids[static_cast<std::size_t>(id)] = true;
    start = comma + 1;
  }
  return ids;
}

// A song named on the command line that the scan could not read is there all the same: the command
// fails with the reason (another program holds its file, or it is not ours to read) and changes nothing,
// instead of passing it over as a song that does not exist.
void RefuseUnreadable(const std::string& gbkMusicDir, const std::vector<int>& ids) {
  std::string reasons;
  for (const int id : ids)
    if (const auto why = SongFilesUnreadableGbk(gbkMusicDir, id))
      reasons += (reasons.empty() ? "" : "\n") + Utf8FromGbk(*why);
  if (!reasons.empty()) throw Failure{kExitFailed, reasons};
}

// The table the window would show after a scan, ticked (every row without --ids) and sorted.
SongTable LoadTable(const std::string& gbkMusicDir, const Arguments& a, bool tickAllByDefault = true) {
  SongTable table;
  table.Assign(ScanMusicFolder(gbkMusicDir));
  if (auto ids = a.Option("ids")) {
    std::vector<bool> wanted = ParseIds(*ids);
    for (std::size_t r = 0; r < table.Size(); ++r) {
      const int id = table.Row(r).Id();
      const bool named = id >= 0 && id < kMaxSongs && wanted[static_cast<std::size_t>(id)];
      table.SetTicked(r, named);
      if (named) wanted[static_cast<std::size_t>(id)] = false;
    }
    // Only names the folder holds are looked at, so a range over every ID costs one listing.
    const TakenIds taken = TakenIdsIn(gbkMusicDir);
    std::vector<int> withoutRow;
    for (int id = 0; id < kMaxSongs; ++id)
      if (wanted[static_cast<std::size_t>(id)] && taken.test(static_cast<std::size_t>(id)))
        withoutRow.push_back(id);
    RefuseUnreadable(gbkMusicDir, withoutRow);
  } else {
    table.SetAllTicked(tickAllByDefault);
  }
  if (const auto sort = ParseSort(a)) SortTable(table, sort->column, sort->ascending);
  return table;
}

std::string RequiredOutput(const Arguments& a, const char* command) {
  const auto output = a.Option("o");
  if (!output) throw Failure{kExitUsage, std::string(command) + " needs -o FILE"};
  return GbkPathArgument(*output);
}

// Running the command is the confirmation, and what the operation says is printed once it is known
// whether that is news or the error.
TerminalInteraction OperationInteraction(std::ostream& err) {
  TerminalInteraction ui(err);
  ui.answerOk = true;
  ui.holdMessages = true;
  return ui;
}

// Success prints what the operation said on stderr; anything else is an error carrying those words.
int Finish(Outcome outcome, const TerminalInteraction& ui, std::ostream& err, const std::string& fallback) {
  const std::string said = ui.MessagesUtf8();
  if (outcome == Outcome::kDone) {
    if (!said.empty()) err << said << '\n';
    return kExitOk;
  }
  throw Failure{kExitFailed, said.empty() ? fallback : said};
}

// The history of this run: --history DIR, else the person's own; none with --no-history (when `canTurnOff`).
std::optional<History> HistoryFor(const Arguments& a, bool canTurnOff = true) {
  if (canTurnOff && a.Has("no-history")) return std::nullopt;
  std::string folder = DefaultHistoryFolder();
  if (const auto given = a.Option("history")) folder = GbkPathArgument(*given);
  if (folder.empty()) throw Failure{kExitFailed, "no folder for the history; give one with --history DIR"};
  return History(folder);
}

History* Pointer(std::optional<History>& history) {
  return history ? &*history : nullptr;
}

// A path as the person gave or knows it, backslashes and all; only a control character, which could
// split the line, is written as \xHH.
std::string PathForLine(const std::string& utf8) {
  std::string out;
  for (const char c : utf8) {
    const auto b = static_cast<unsigned char>(c);
    if (b >= 0x20 && b != 0x7F) {
      out += c;
      continue;
    }
    static const char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[b >> 4];
    out += kHex[b & 15];
  }
  return out;
}

}  // namespace

int CmdTextList(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const Arguments a = ParseOperationArguments(args, {.single = {"o", "ids", "sort"}});
  ExpectPositionals(a, 1, "text-list");
  const std::string output = RequiredOutput(a, "text-list");
  SongTable table = LoadTable(OpenMusicFolder(a.positional[0], err), a);
  TerminalInteraction ui = OperationInteraction(err);
  ui.saveFile = output;
  OperationContext ctx = ContextFor(table, ui, {});
  return Finish(OnTextList(ctx).outcome, ui, err, "no list written");
}

int CmdBatchText(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const Arguments a = ParseOperationArguments(args, {.single = {"ids", "sort"}});
  ExpectPositionals(a, 1, "batch-text");
  const std::string music = OpenMusicFolder(a.positional[0], err);
  SongTable table = LoadTable(music, a);
  const FolderSettings folders = CheckedFolders({music, {}, {}});
  TerminalInteraction ui = OperationInteraction(err);
  OperationContext ctx = ContextFor(table, ui, folders);
  return Finish(OnBatchText(ctx).outcome, ui, err, "no song ticked (check --ids)");
}

int CmdGameList(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const Arguments a = ParseOperationArguments(args, {.single = {"o", "ids", "sort"}, .repeated = {"mark"}});
  ExpectPositionals(a, 1, "game-list");
  const std::string output = RequiredOutput(a, "game-list");
  const std::string music = OpenMusicFolder(a.positional[0], err);
  SongTable table = LoadTable(music, a);
  TerminalInteraction ui = OperationInteraction(err);
  OperationContext ctx = ContextFor(table, ui, {music, {}, {}});
  for (const std::string& mark : a.All("mark")) {
    const std::size_t equals = mark.find('=');
    const std::string kind = equals == std::string::npos ? "" : mark.substr(equals + 1);
    OperationResult (*handler)(OperationContext&) = kind == "weekly"    ? OnStatusWeekly
                                                    : kind == "newest"  ? OnStatusNewest
                                                    : kind == "popular" ? OnStatusPopular
                                                                        : nullptr;
    if (!handler) throw Failure{kExitUsage, "--mark takes ID=weekly, ID=newest or ID=popular, not " + mark};
    const auto row = table.FindId(ParseInt(mark.substr(0, equals), "--mark"));
    if (!row) continue;  // like --ids, an ID without a row is passed over
    // The status command marks the ticked rows, so it runs with only this row ticked.
    std::vector<bool> ticks(table.Size());
    for (std::size_t r = 0; r < table.Size(); ++r) ticks[r] = table.IsTicked(r);
    table.SetAllTicked(false);
    table.SetTicked(*row, true);
    handler(ctx);
    for (std::size_t r = 0; r < table.Size(); ++r) table.SetTicked(r, ticks[r]);
  }
  ctx.folders = CheckedFolders({music, {}, {}});
  ui.saveFile = output;
  return Finish(OnGameList(ctx).outcome, ui, err, "no list written");
}

int CmdExportCovers(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const Arguments a = ParseOperationArguments(args, {.single = {"ids", "sort"}});
  ExpectPositionals(a, 2, "export-covers");
  const std::string music = OpenMusicFolder(a.positional[0], err);
  const std::string images = GbkPathArgument(a.positional[1]);
  std::error_code ec;
  fs::create_directories(NativePath(images), ec);
  if (!DirectoryExists(images)) throw Failure{kExitFailed, "cannot create the folder " + a.positional[1]};
  SongTable table = LoadTable(music, a);
  const FolderSettings folders = CheckedFolders({music, {}, images});
  TerminalInteraction ui = OperationInteraction(err);
  OperationContext ctx = ContextFor(table, ui, folders);
  return Finish(OnExportCovers(ctx).outcome, ui, err, "no cover exported");
}

int CmdImportCover(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const Arguments a = ParseOperationArguments(args, {.single = {"history"}, .flags = {"no-history"}});
  ExpectPositionals(a, 3, "import-cover");
  const std::string music = OpenMusicFolder(a.positional[0], err);
  const int id = ParseInt(a.positional[1], "ID");
  SongTable table = LoadTable(music, a, /*tickAllByDefault=*/false);
  if (const auto row = table.FindId(id))
    table.SetTicked(*row, true);
  else
    RefuseUnreadable(music, {id});
  const FolderSettings folders = CheckedFolders({music, {}, {}});
  TerminalInteraction ui = OperationInteraction(err);
  ui.openFile = GbkPathArgument(a.positional[2]);
  auto history = HistoryFor(a);
  OperationContext ctx = ContextFor(table, ui, folders, Pointer(history));
  return Finish(OnImportCover(ctx).outcome, ui, err, "cannot read " + a.positional[2]);
}

int CmdEdit(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const Arguments a = ParseOperationArguments(
      args, {.single = {"title", "easy", "normal", "hard", "history"}, .flags = {"no-history"}});
  ExpectPositionals(a, 2, "edit");
  const std::string music = OpenMusicFolder(a.positional[0], err);
  const int id = ParseInt(a.positional[1], "ID");
  SongTable table = LoadTable(music, a);
  const auto row = table.FindId(id);
  if (!row) RefuseUnreadable(music, {id});
  if (!row) throw Failure{kExitFailed, "no song with ID " + a.positional[1] + " in " + a.positional[0]};
  // What is not given keeps the row's text, as the editor shows it.
  SongEdits edits{Utf8FromGbk(table.Cell(*row, kColTitle)), table.Cell(*row, kColEasy),
                  table.Cell(*row, kColNormal), table.Cell(*row, kColHard)};
  if (auto title = a.Option("title")) edits.title = *title;
  const std::pair<const char*, std::string*> levels[] = {
      {"easy", &edits.easy}, {"normal", &edits.normal}, {"hard", &edits.hard}};
  for (const auto& [name, text] : levels) {
    if (auto value = a.Option(name)) {
      ParseInt(*value, (std::string("--") + name).c_str());
      *text = *value;
    }
  }
  TerminalInteraction ui = OperationInteraction(err);
  auto history = HistoryFor(a);
  OperationContext ctx = ContextFor(table, ui, {music, {}, {}}, Pointer(history));
  if (OnSaveSong(ctx, SongEditTarget{id, music}, edits, /*askFirst=*/false).saved == SaveOutcome::kSaved)
    return kExitOk;
  const std::string said = ui.MessagesUtf8();
  throw Failure{kExitFailed, said.empty() ? "cannot read the chart of song " + a.positional[1] : said};
}

int CmdDelete(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const Arguments a = ParseOperationArguments(args, {.single = {"ids"}, .flags = {"permanent"}});
  ExpectPositionals(a, 1, "delete");
  // Deleting every song of a folder is never what a missing option meant.
  if (!a.Has("ids")) throw Failure{kExitUsage, "delete needs --ids LIST"};
  const std::string music = OpenMusicFolder(a.positional[0], err);
  SongTable table = LoadTable(music, a);
  const FolderSettings folders = CheckedFolders({music, {}, {}});
  TerminalInteraction ui = OperationInteraction(err);
  ui.deleting = a.Has("permanent") ? TerminalInteraction::Deleting::kPermanently
                                   : TerminalInteraction::Deleting::kToTrash;
  OperationContext ctx = ContextFor(table, ui, folders);
  const RemoveOutcome result = OnDeleteSongs(ctx);
  if (result.outcome == Outcome::kDone)
    out << "deleted " << result.change.removedAt.size() << " songs (" << result.filesDone << " files)\n";
  return Finish(result.outcome, ui, err, "nothing deleted");
}

int CmdMove(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const Arguments a = ParseOperationArguments(args, {.single = {"ids"}});
  ExpectPositionals(a, 2, "move");
  if (!a.Has("ids")) throw Failure{kExitUsage, "move needs --ids LIST"};
  const std::string music = OpenMusicFolder(a.positional[0], err);
  const std::string target = GbkPathArgument(a.positional[1]);
  SongTable table = LoadTable(music, a);
  const FolderSettings folders = CheckedFolders({music, target, {}});
  TerminalInteraction ui = OperationInteraction(err);
  OperationContext ctx = ContextFor(table, ui, folders);
  const RemoveOutcome result = OnMoveSongs(ctx);
  if (result.outcome == Outcome::kDone && result.skipped.empty()) {
    out << "moved " << result.change.removedAt.size() << " songs (" << result.filesDone << " files)\n";
    return Finish(result.outcome, ui, err, {});
  }
  // Without a person to ask, a clashing song stays whole in MUSIC and the command fails naming it.
  std::string problem = ui.MessagesUtf8();
  for (const SongNote& song : result.skipped) {
    std::string files;
    for (const std::string& file : song.files) files += (files.empty() ? "" : ", ") + Utf8FromGbk(file);
    problem +=
        (problem.empty() ? "" : "\n") + ("song " + std::to_string(song.id) + " (" + Utf8FromGbk(song.title) +
                                         ") not moved, the target already has " + files);
  }
  throw Failure{kExitFailed, problem.empty() ? "nothing moved" : problem};
}

int CmdInstall(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const Arguments a =
      ParseOperationArguments(args, {.single = {"on-clash", "history"}, .flags = {"no-history"}});
  if (a.positional.size() < 2)
    throw Failure{kExitUsage, "install takes MUSIC and at least one PATH (see vxtool help)"};
  const std::string music = OpenMusicFolder(a.positional[0], err);
  std::vector<std::string> sources;
  for (std::size_t i = 1; i < a.positional.size(); ++i) sources.push_back(GbkPathArgument(a.positional[i]));
  TerminalInteraction ui = OperationInteraction(err);
  const std::string onClash = a.Option("on-clash").value_or("next");
  if (onClash == "next")
    ui.clashAnswer = ClashAnswer::kNextFreeId;
  else if (onClash == "replace")
    ui.clashAnswer = ClashAnswer::kReplace;
  else if (onClash == "skip")
    ui.clashAnswer = ClashAnswer::kSkip;
  else
    throw Failure{kExitUsage, "--on-clash takes next, replace or skip"};
  // A replaced song goes where a deleted one goes.
  ui.deleting = TerminalInteraction::Deleting::kToTrash;
  auto history = HistoryFor(a);
  SongTable table = LoadTable(music, a, /*tickAllByDefault=*/false);
  OperationContext ctx = ContextFor(table, ui, {music, {}, {}}, Pointer(history));
  const InstallOutcome result = InstallSongs(ctx, sources);
  for (const InstalledSong& song : result.songs) {
    out << PathForLine(Utf8FromGbk(song.source)) << '\t';
    if (song.id)
      out << *song.id << '\n';
    else
      out << "skipped: " << song.skipped << '\n';
  }
  if (const std::string said = ui.MessagesUtf8(); !said.empty()) err << said << '\n';
  return result.outcome == Outcome::kDone ? kExitOk : kExitFailed;
}

int CmdRenumber(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const Arguments a = ParseOperationArguments(args, {.single = {"history"}, .flags = {"no-history"}});
  ExpectPositionals(a, 3, "renumber");
  const std::string music = OpenMusicFolder(a.positional[0], err);
  const int from = ParseInt(a.positional[1], "FROM"), to = ParseInt(a.positional[2], "TO");
  auto history = HistoryFor(a);
  SongTable table = LoadTable(music, a, /*tickAllByDefault=*/false);
  TerminalInteraction ui = OperationInteraction(err);
  OperationContext ctx = ContextFor(table, ui, {music, {}, {}}, Pointer(history));
  const Outcome outcome = RenumberSong(ctx, from, to).outcome;
  if (outcome == Outcome::kDone) out << "renumbered " << from << " to " << to << '\n';
  return Finish(outcome, ui, err, "nothing renumbered");
}

int CmdHistory(const std::vector<std::string>& args, std::ostream& out, std::ostream&) {
  const Arguments a = ParseOperationArguments(args, {.single = {"history"}});
  ExpectPositionals(a, 1, "history");
  const std::string music = GbkPathArgument(a.positional[0]);
  if (!DirectoryExists(music)) throw Failure{kExitFailed, "not a folder: " + a.positional[0]};
  const auto history = HistoryFor(a, /*canTurnOff=*/false);
  for (const HistoryEntry& e : history->Entries(music))
    out << e.name << '\t' << e.time << '\t' << e.id << '\t' << HistoryOperationToken(e.operation) << '\t'
        << EscapeForLine(Utf8FromGbk(e.title)) << '\n';
  return kExitOk;
}

int CmdRestore(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  const Arguments a = ParseOperationArguments(args, {.single = {"history"}, .flags = {"no-history"}});
  ExpectPositionals(a, 2, "restore");
  const std::string music = OpenMusicFolder(a.positional[0], err);
  // The entries are read from the history even when the replaced chart is not to be kept in it.
  auto history = HistoryFor(a, /*canTurnOff=*/false);
  const auto entry = history->Find(a.positional[1]);
  if (!entry || entry->musicDir != NormalMusicFolder(music))
    throw Failure{kExitFailed, "no history entry " + a.positional[1] + " for " + a.positional[0]};
  SongTable table = LoadTable(music, a, /*tickAllByDefault=*/false);
  TerminalInteraction ui = OperationInteraction(err);
  OperationContext ctx = ContextFor(table, ui, {music, {}, {}}, a.Has("no-history") ? nullptr : &*history);
  return Finish(RestoreHistoryEntry(ctx, *history, *entry).outcome, ui, err, "nothing restored");
}

}  // namespace vx::cli
