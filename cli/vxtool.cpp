#include "cli/vxtool.h"

#include <map>
#include <new>

#include "cli/commands.h"

namespace vx::cli {
namespace {

constexpr const char* kUsage = R"(usage: vxtool <command> [arguments]

Commands:
  scan MUSIC [--sort COLUMN[:asc|:desc]]
      List the songs of a MUSIC folder, one line each: 编号, 歌曲名字, 简单, 普通, 困难, NOTER, BPM, 时间,
      TAB-separated, UTF-8. COLUMN is id, title, easy, normal, hard, noter, bpm or time; the direction
      defaults to desc, as a first click on the column header does. Charts that could not be read (held
      by another program, not readable, a pipe) are counted on stderr; "check" names them.
  demo DIR [--songs N]
      Build a demo library: DIR/MUSIC with N songs (default 60, at most 5000) with JPEG covers,
      DIR/moved, DIR/images, DIR/REC.re naming those folders, and the image archive DIR/Playing.vpi.
      DIR must be new or empty.
  archive list ARCHIVE
      List the entries of a game image archive (.vpi, .vpa) in directory order, one line each: directory
      index, TAB, entry name, TAB, the TYPE text of a background entry (e.g. 背景:地下室) or nothing. UTF-8.
  archive export ARCHIVE OUTDIR [--index I]...
      Write every frame of every image entry (or of the entries with the given directory indexes) into
      OUTDIR as 16-bit BMP files named <entry name><n>.bmp, n being the first free number from 0 to 199.
      Existing files are never replaced. Messages go to stderr, one per entry; an entry that did not
      export every frame (a damaged frame, one whose data is short by more than a row) is named with the
      reason, and the exit code is then 1.
  archive background PICTURE --scene N
      Turn a top-down 596 x 558 16-bit BMP into a background archive for scene N (1 to 12) beside it,
      named Playing1_<300..449>.vpi (the first free name), and print its path.
  game-list-read FILE [--music MUSIC]
      Print the content of a game song-list file (.dat / .SML), UTF-8:
        charts N
        one line per chart record, in file order: position (from 1), 歌曲名字, 简单, 普通, 困难, NOTER,
          BPM, 时间, TAB-separated, read from the record's 300 bytes as the scan reads a chart; with
          --music one more column: the 编号 of the song in MUSIC that reopening the list ticks for the
          record (same first 300 bytes, else same title and author), or - when none
        marks M
        one line per status record: 编号, TAB, the mark (一周更新, 最新更新 or 最受欢迎)
      A file that does not add up exactly is refused with the reason and the byte where it was found.
  check MUSIC [--remove-temp]
      Check a MUSIC folder and print one line per finding: charts without music and music without
      charts, file names the game will not load (leading zeros, other case, IDs of 5000 and above),
      unreadable or short charts, a pipe, device or folder under a chart's name, covers outside their
      chart or not JPEG, temporary files (*.vxtmp-*) left by a program that was killed, and songs with
      the same title and author under different IDs. Exits 1 when it found anything, 0 when the folder
      is clean. --remove-temp removes the temporary files it found (regular files last written over a
      minute ago) and says so on stderr.

Texts read from files (titles, authors, entry names) are printed with a backslash as \\, TAB, LF and CR
as \t, \n and \r, and any other control character as \xHH, so every record stays one line.

Operations on the songs of a MUSIC folder. Each scans the folder, ticks the songs and runs the same
command as the window's menu. Common options:
  --ids LIST   tick only these songs: IDs and inclusive ranges, comma separated (7,12,100-120); IDs
               without a song are ignored. Without --ids every song is ticked (delete and move
               require --ids).
  --sort COLUMN[:asc|:desc]   the table's order, as for scan; it decides the order of lists and records.

  text-list MUSIC -o FILE [--ids LIST] [--sort ...]
      Write the fixed-width text list of the ticked songs (GBK, CR LF) to FILE.
  batch-text MUSIC [--ids LIST] [--sort ...]
      Write vxma<ID><title>.txt, holding the title, beside each ticked song's chart.
  game-list MUSIC -o FILE [--mark ID=weekly|newest|popular]... [--ids LIST] [--sort ...]
      Write the game's song-list file (.dat / .SML) for the ticked songs. --mark sets the status
      (一周更新, 最新更新, 最受欢迎) of a song; it counts only when the song is ticked.
  export-covers MUSIC OUTDIR [--ids LIST] [--sort ...]
      Write the cover of each ticked song as OUTDIR/<title>.jpg (OUTDIR is created when missing). Songs
      that got no file (chart unreadable, cover outside the chart, ...) are named and the exit code is 1.
  import-cover MUSIC ID JPG
      Replace the cover inside the chart of song ID with the picture JPG.
  edit MUSIC ID [--title T] [--easy N] [--normal N] [--hard N]
      Change a song's title (UTF-8 here, stored as GBK, at most 31 bytes, no control characters) and
      levels (0 to 65535) in its chart. A read-only chart is refused; a chart that is a symbolic link is
      rewritten where the link points. Two programs editing one chart at once take turns.
  delete MUSIC --ids LIST [--permanent]
      Move the chart and music files of the listed songs to the trash ($XDG_DATA_HOME/Trash; the
      recycle bin on Windows), or delete them outright with --permanent. A song goes whole or stays
      whole: when one of its files cannot go, the other is brought back.
  move MUSIC TARGET --ids LIST
      Move the chart and music files of the listed songs into the folder TARGET, song by song: a song
      whose files cannot all move stays whole in MUSIC. A song with a file already in TARGET is never
      moved and nothing there is replaced: the song stays whole in MUSIC and the command fails naming it.

Bringing songs in, giving them free numbers, taking back a change:
  install MUSIC PATH... [--on-clash next|replace|skip]
      Copy songs into MUSIC: each PATH is a chart *.vxn (with the .vxm of the same name beside it), a
      folder (every *.vxn directly inside) or a pack .zip, .7z or .rar (every vxma<ID>.vxn in it, at any
      depth, with the .vxm of the same name in the same folder of the pack; a damaged, encrypted or
      oversized pack installs nothing). A song keeps the ID of its name vxma<ID>.vxn when that ID is
      free; otherwise --on-clash decides: next (the default) gives it the lowest free ID, replace sends
      the song that holds the ID to the trash first, skip leaves it out. A song lands whole or not at
      all. Prints one line per song, <source> TAB <ID> or <source> TAB skipped: <reason>; exits 1 when
      any song was skipped.
  renumber MUSIC FROM TO
      Give song FROM the free ID TO: its chart and music file are renamed, both or neither.
  history MUSIC
      Print the history of replaced charts of MUSIC, newest first, one line each: entry, TAB, time, TAB,
      ID, TAB, operation (edit, import-cover, install, renumber, restore), TAB, title.
  restore MUSIC ENTRY
      Put the chart of a history entry back (the chart it replaces is kept in the history too); an
      entry of a renumber gives the song its old ID again.
  Before edit, import-cover, install (when it replaces a song), renumber and restore change or remove a
  chart, the chart as it was is kept in the history ($XDG_DATA_HOME/vxorganizer/history; on Windows
  %LOCALAPPDATA%\vxorganizer\history; the newest 200 entries and at most 500 MB). --history DIR uses
  another folder for this run; --no-history keeps nothing for this run. A history that cannot be
  written stops the command before anything changes.

  help
      Show this text.

A song named by these commands whose chart or music file is there but cannot be read now (another
program holds it open without sharing, or it is not yours to read) is an error that names the file, and
the command changes nothing, not even the other songs it names.

Files written by these commands replace a regular file of the same name; a symbolic link, folder or
pipe at that name is refused and named, never written through.

Errors print "vxtool: <what went wrong>" and exit 1; a wrong command line exits 2 and changes nothing:
an unknown option, an option the command does not take, or an option other than --mark and --index
given twice.
)";

}  // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  static const std::map<std::string, Command> kCommands = {
      {"scan", CmdScan},
      {"demo", CmdDemo},
      {"archive", CmdArchive},
      {"game-list-read", CmdGameListRead},
      {"check", CmdCheck},
      {"text-list", CmdTextList},
      {"batch-text", CmdBatchText},
      {"game-list", CmdGameList},
      {"export-covers", CmdExportCovers},
      {"import-cover", CmdImportCover},
      {"edit", CmdEdit},
      {"delete", CmdDelete},
      {"move", CmdMove},
      {"install", CmdInstall},
      {"renumber", CmdRenumber},
      {"history", CmdHistory},
      {"restore", CmdRestore},
  };
  if (args.empty()) {
    err << kUsage;
    return kExitUsage;
  }
  if (args[0] == "help" || args[0] == "--help" || args[0] == "-h") {
    out << kUsage;
    return kExitOk;
  }
  auto it = kCommands.find(args[0]);
  if (it == kCommands.end()) {
    err << "vxtool: unknown command '" << args[0] << "' (see vxtool help)\n";
    return kExitUsage;
  }
  try {
    return it->second(args, out, err);
  } catch (const Failure& f) {
    err << "vxtool: " << f.message << '\n';
    return f.code;
  } catch (const std::bad_alloc&) {
    // A damaged size field can ask for more than the machine has; say which command gave up.
    err << "vxtool: " << args[0]
        << ": not enough memory to finish (is a file far larger than it should be?)\n";
    return kExitFailed;
  } catch (const std::exception& e) {
    err << "vxtool: " << e.what() << '\n';
    return kExitFailed;
  }
}

}  // namespace vx::cli
