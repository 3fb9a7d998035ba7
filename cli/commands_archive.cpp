// archive list, export and background: the image browser's operations from the command line.
#include <algorithm>
#include <set>

#include "cli/commands.h"
#include "cli/terminal_interaction.h"
#include "core/archive/archive_reader.h"
#include "core/archive/background.h"
#include "core/archive/image_export.h"
#include "core/io/file_io.h"
#include "core/text/gbk.h"

namespace vx::cli {
namespace {

std::vector<DirectoryRecord> Directory(const std::string& gbkArchive, const std::string& shown) {
  auto records = ReadDirectory(gbkArchive);
  if (!records) {
    if (records.Error().kind == ArchiveError::kCannotOpen) throw Failure{kExitFailed, "cannot open " + shown};
    throw Failure{kExitFailed, shown + ": " + Utf8FromGbk(ArchiveErrorTextGbk(records.Error()))};
  }
  return std::move(records).Value();
}

int List(const Arguments& a, std::ostream& out) {
  ExpectPositionals(a, 2, "archive list");
  for (const DirectoryRecord& r : Directory(GbkPathArgument(a.positional[1]), a.positional[1]))
    out << r.directoryIndex << '\t' << EscapeForLine(Utf8FromGbk(r.name)) << '\t'
        << EscapeForLine(Utf8FromGbk(EntryTypeTextGbk(r.name))) << '\n';
  return kExitOk;
}

int Export(const Arguments& a, std::ostream& err) {
  ExpectPositionals(a, 3, "archive export");
  const std::string archive = GbkPathArgument(a.positional[1]);
  const std::string folder = GbkPathArgument(a.positional[2]);
  if (!DirectoryExists(folder)) throw Failure{kExitFailed, "not a folder: " + a.positional[2]};
  const auto records = Directory(archive, a.positional[1]);

  std::set<int> chosen;
  for (const std::string& text : a.All("index")) {
    const int index = ParseInt(text, "--index");
    if (index < 0 || index >= static_cast<int>(records.size()))
      throw Failure{kExitFailed, "--index " + text + ": the archive has directory indexes 0 to " +
                                     std::to_string(static_cast<int>(records.size()) - 1)};
    chosen.insert(index);
  }
  // Rows go top to bottom, as the browser's selected rows do, whatever order the indexes came in.
  std::vector<EntryRow> rows;
  for (const DirectoryRecord& r : records)
    if (chosen.empty() || chosen.count(r.directoryIndex)) rows.push_back({r.name, r.directoryIndex});

  TerminalInteraction io(err);
  const ExportReport report = ExportImages(archive, folder, rows, io);
  if (report.rowsFailed > 0) throw Failure{kExitFailed, "not every frame was exported"};
  return kExitOk;
}

int Background(const Arguments& a, std::ostream& out, std::ostream& err) {
  ExpectPositionals(a, 2, "archive background");
  const auto sceneText = a.Option("scene");
  if (!sceneText) throw Failure{kExitUsage, "archive background needs --scene N (1 to 12)"};
  const int scene = ParseInt(*sceneText, "--scene");
  if (scene < 1 || scene > static_cast<int>(kBackgroundScenes.size()))
    throw Failure{kExitUsage, "--scene takes 1 to 12"};

  TerminalInteraction io(err);
  const BackgroundBuild built = MakeBackground(GbkPathArgument(a.positional[1]), scene, io);
  switch (built.status) {
    case BackgroundBuild::kWritten:
      out << Utf8FromGbk(built.archivePath) << '\n';
      return kExitOk;
    case BackgroundBuild::kBadPicture:
    case BackgroundBuild::kCannotRead:
      throw Failure{kExitFailed, a.positional[1] + ": not a readable top-down 596 x 558 16-bit BMP"};
    case BackgroundBuild::kNoFreeName:
      throw Failure{kExitFailed, "Playing1_300.vpi to Playing1_449.vpi all exist beside the picture"};
    case BackgroundBuild::kCannotWrite:
      break;
  }
  throw Failure{kExitFailed, "cannot write " + Utf8FromGbk(built.archivePath)};
}

}  // namespace

int CmdArchive(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const std::string what = args.size() > 1 ? args[1] : "";
  const Arguments a = ParseArguments(args, 1,
                                     what == "export"       ? OptionSpec{.repeated = {"index"}}
                                     : what == "background" ? OptionSpec{.single = {"scene"}}
                                                            : OptionSpec{});
  if (what == "list") return List(a, out);
  if (what == "export") return Export(a, err);
  if (what == "background") return Background(a, out, err);
  throw Failure{kExitUsage, "archive takes list, export or background (see vxtool help)"};
}

}  // namespace vx::cli
