// scan and demo.
#include <filesystem>

#include "cli/commands.h"
#include "core/io/file_io.h"
#include "core/library/scan.h"
#include "core/library/sort.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"
#include "tests/support/fixtures.h"

namespace vx::cli {
namespace {

void PrintRows(const SongTable& table, std::ostream& out) {
  for (std::size_t r = 0; r < table.Size(); ++r) {
    for (int c = kColId; c <= kColTime; ++c) {
      if (c != kColId) out << '\t';
      out << EscapeForLine(Utf8FromGbk(table.Cell(r, c)));
    }
    out << '\n';
  }
}

}  // namespace

int CmdScan(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const Arguments a = ParseArguments(args, 1, {.single = {"sort"}});
  ExpectPositionals(a, 1, "scan");
  const auto sort = ParseSort(a);
  const std::string music = OpenMusicFolder(a.positional[0], err);
  SongTable table;
  std::size_t unreadable = 0;
  table.Assign(ScanMusicFolder(music, {}, &unreadable));
  if (sort) SortTable(table, sort->column, sort->ascending);
  PrintRows(table, out);
  // The listing still goes out whole; what could not be read is said where a person looks for trouble.
  if (unreadable > 0)
    err << "vxtool: " << unreadable << " 个歌曲文件无法读取(另一个程序正在使用,或没有权限),"
        << "\"vxtool check\" 会列出它们\n";
  return kExitOk;
}

int CmdDemo(const std::vector<std::string>& args, std::ostream& out, std::ostream&) {
  const Arguments a = ParseArguments(args, 1, {.single = {"songs"}});
  ExpectPositionals(a, 1, "demo");
  int songs = 60;
  if (auto n = a.Option("songs")) songs = ParseInt(*n, "--songs");
  if (songs < 0 || songs > kMaxSongs) throw Failure{kExitUsage, "--songs takes 0 to 5000"};
  const auto dir = std::filesystem::absolute(PathFromUtf8(a.positional[0]));
  GbkPathArgument(Utf8FromPath(dir));  // the demo's REC.re must be able to name its folders
  std::error_code ec;
  // The demo writes its own REC.re, MUSIC and archive; inside a folder in use it would overwrite a library.
  if (std::filesystem::is_directory(dir, ec) && !std::filesystem::is_empty(dir, ec))
    throw Failure{kExitFailed,
                  a.positional[0] + " exists and is not empty; the demo goes into a new or empty folder"};
  std::filesystem::create_directories(dir, ec);
  if (ec) throw Failure{kExitFailed, "cannot create " + a.positional[0] + ": " + ec.message()};
  const auto ids = fixtures::BuildDemoLibrary(Utf8FromPath(dir), songs);
  out << "demo library with " << ids.size() << " songs in " << Utf8FromPath(dir / "MUSIC") << '\n';
  return kExitOk;
}

}  // namespace vx::cli
