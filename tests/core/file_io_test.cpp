// Output files that land whole or not at all and never through a link, and readers that pass over a pipe
// instead of waiting on it.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <chrono>
#include <filesystem>
#include <functional>

#include "core/archive/archive_reader.h"
#include "core/archive/background.h"
#include "core/io/file_move.h"
#include "core/io/random_access_file.h"
#include "core/library/library_check.h"
#include "core/operations/covers.h"
#include "core/operations/game_list.h"
#include "core/operations/open_song_list.h"
#include "core/operations/text_lists.h"
#include "core/settings/settings_file.h"
#include "tests/cli/run_vxtool.h"
#include "tests/core/library_fixture.h"
#include "tests/support/operation_context.h"

namespace vx {

using fixtures::InCall;
namespace {

namespace fs = std::filesystem;
using testing_support::LibraryTest;
using V = std::vector<std::string>;

// Symbolic links need a privilege on Windows; where the test cannot make one, there is nothing to follow.
bool MakeLink(const fs::path& target, const fs::path& link) {
  std::error_code ec;
  fs::create_symlink(target, link, ec);
  return !ec;
}

const Bytes kOld{'o', 'l', 'd'};
const Bytes kNew{'n', 'e', 'w', '!'};

struct OutputCase {
  const char* name;
  // Puts something at `at` (the output's name) in `dir`; false when this platform cannot.
  std::function<bool(const fs::path& dir, const fs::path& at)> prepare;
  OutputMode mode;
  OutputResult expected;
  std::optional<Bytes> bytesAfter;  // what a read through the name gives afterwards; empty: unreadable
};

class OutputFiles : public ::testing::TestWithParam<OutputCase> {};

TEST_P(OutputFiles, LandWholeOrNotAtAllAndNeverThroughALink) {
  const OutputCase& c = GetParam();
  fixtures::TempDir dir;
  const fs::path at = dir.Path() / "out.txt";
  fixtures::WriteFile(Utf8FromPath(dir.Path() / "outside.txt"), kOld);
  if (!c.prepare(dir.Path(), at)) GTEST_SKIP() << "this platform cannot set the case up";
  const auto before = fs::symlink_status(at).type();

  EXPECT_EQ(WriteOutputFile(GbkPath(at), kNew, c.mode), c.expected);
  EXPECT_EQ(ReadWholeFile(GbkPath(at)), c.bytesAfter);
  EXPECT_EQ(ReadWholeFile(GbkPath(dir.Path() / "outside.txt")), kOld);  // a link's target is never written
  if (c.expected != OutputResult::kWritten) {
    EXPECT_EQ(fs::symlink_status(at).type(), before);
  }
  // No temporary file stays behind, whatever happened.
  for (const auto& entry : fs::directory_iterator(dir.Path()))
    EXPECT_EQ(Utf8FromPath(entry.path().filename()).find(".vxtmp-"), std::string::npos) << entry.path();
}

bool Nothing(const fs::path&, const fs::path&) {
  return true;
}
bool OldFile(const fs::path&, const fs::path& at) {
  fixtures::WriteFile(Utf8FromPath(at), kOld);
  return true;
}
bool LinkOut(const fs::path& dir, const fs::path& at) {
  return MakeLink(dir / "outside.txt", at);
}
bool DanglingLink(const fs::path& dir, const fs::path& at) {
  return MakeLink(dir / "nowhere.txt", at);
}
bool Folder(const fs::path&, const fs::path& at) {
  return fs::create_directory(at);
}
bool Pipe(const fs::path&, const fs::path& at) {
#ifdef _WIN32
  (void)at;
  return false;
#else
  return ::mkfifo(at.c_str(), 0600) == 0;
#endif
}

const OutputCase kOutputCases[] = {
    {"NewFile", Nothing, OutputMode::kReplace, OutputResult::kWritten, kNew},
    {"ReplacesARegularFile", OldFile, OutputMode::kReplace, OutputResult::kWritten, kNew},
    {"RefusesALink", LinkOut, OutputMode::kReplace, OutputResult::kLink, kOld},
    {"RefusesADanglingLink", DanglingLink, OutputMode::kReplace, OutputResult::kLink, std::nullopt},
    {"RefusesAFolder", Folder, OutputMode::kReplace, OutputResult::kNotRegular, std::nullopt},
    {"RefusesAPipe", Pipe, OutputMode::kReplace, OutputResult::kNotRegular, std::nullopt},
    {"KeepingCreatesANewFile", Nothing, OutputMode::kKeepExisting, OutputResult::kWritten, kNew},
    {"KeepingLeavesAFile", OldFile, OutputMode::kKeepExisting, OutputResult::kExists, kOld},
    {"KeepingLeavesADanglingLink", DanglingLink, OutputMode::kKeepExisting, OutputResult::kExists,
     std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(FileIo, OutputFiles, ::testing::ValuesIn(kOutputCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OutputFile, AWriteThatFailsHalfwayLeavesTheOldBytes) {
  fixtures::TempDir dir;
  fixtures::WriteFile(dir.Native("out.dat"), kOld);
  const auto halfThenFail = [](const OutputChunkWriter& write) { return write(Bytes(1000, 7)) && false; };
  EXPECT_EQ(WriteOutputFile(dir.Gbk("out.dat"), halfThenFail), OutputResult::kFailed);
  EXPECT_EQ(ReadWholeFile(dir.Gbk("out.dat")), kOld);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()), 1);
}

// An install's copy is a new file: with its source's old time, a leftover clean-up running beside the
// install would take it for the trace of a killed run and delete it.
TEST(CopyBeside, TheCopyCarriesTheTimeItWasMade) {
  fixtures::TempDir dir;
  fixtures::WriteFile(dir.Native("old.vxm"), kOld);
  fs::last_write_time(dir.Path() / "old.vxm", fs::file_time_type::clock::now() - std::chrono::hours(24));
  const auto copy = CopyBeside(dir.Gbk("old.vxm"), dir.Gbk("new.vxm"));
  ASSERT_TRUE(copy);
  EXPECT_LT(fs::file_time_type::clock::now() - fs::last_write_time(NativePath(*copy)), std::chrono::hours(1));
}

// A copy to a new name: byte for byte (in the kernel, or through the program where the kernel cannot copy
// between the two file systems), never over a name that is taken, and nothing made when the look at its
// first bytes refuses it.
TEST(CopyToNewFile, CopiesWholeNeverOverANameAndLeavesNothingWhenRefused) {
  fixtures::TempDir dir;
  Bytes large(200 * 1024);
  for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<std::uint8_t>(i * 7);
  fixtures::WriteFile(dir.Native("song.vxn"), large);
  const auto accept = [](bool yes) {
    return [yes](std::span<const std::uint8_t> head) { return yes && head.size() == 300 && head[1] == 7; };
  };
  EXPECT_EQ(CopyToNewFile(dir.Gbk("song.vxn"), dir.Gbk("copy.vxn"), 300, accept(true)), CopyResult::kCopied);
  EXPECT_EQ(ReadWholeFile(dir.Gbk("copy.vxn")), large);

  fixtures::WriteFile(dir.Native("taken.vxn"), kOld);
  EXPECT_EQ(CopyToNewFile(dir.Gbk("song.vxn"), dir.Gbk("taken.vxn")), CopyResult::kFailed);
  EXPECT_EQ(ReadWholeFile(dir.Gbk("taken.vxn")), kOld);

  EXPECT_EQ(CopyToNewFile(dir.Gbk("song.vxn"), dir.Gbk("refused.vxn"), 300, accept(false)),
            CopyResult::kRefused);
  EXPECT_FALSE(fs::exists(dir.Path() / "refused.vxn"));

#ifdef __linux__
  // From another file system (a RAM disk), where copy_file_range says EXDEV.
  struct stat shm {
  }, here{};
  if (::stat("/dev/shm", &shm) == 0 && ::stat(dir.Path().c_str(), &here) == 0 && shm.st_dev != here.st_dev) {
    const fs::path other = fs::path("/dev/shm") / ("vxcopy-" + std::to_string(::getpid()));
    fixtures::WriteFile(other.string(), large);
    EXPECT_EQ(CopyToNewFile(GbkPath(other), dir.Gbk("across.vxn")), CopyResult::kCopied);
    EXPECT_EQ(ReadWholeFile(dir.Gbk("across.vxn")), large);
    fs::remove(other);
  }
#endif
}

#ifndef _WIN32
TEST(OutputFile, AReplacedFileKeepsItsPermissionBits) {
  fixtures::TempDir dir;
  fixtures::WriteFile(dir.Native("out.dat"), kOld);
  fs::permissions(dir.Path() / "out.dat",
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(WriteOutputFile(dir.Gbk("out.dat"), kNew), OutputResult::kWritten);
  EXPECT_EQ(fs::status(dir.Path() / "out.dat").permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// A pipe under a file's name: every reader passes it over at once, as it does a file that is not there.
// Were one of them to wait for a writer, this test would never end.
class Pipes : public LibraryTest {
 protected:
  void PipeAt(const fs::path& at) {
    fs::remove(at);
    ASSERT_EQ(::mkfifo(at.c_str(), 0600), 0);
  }
};

TEST_F(Pipes, EveryReaderPassesOverAPipeInsteadOfWaitingOnIt) {
  Song(1, {.title = "ok", .cover = fixtures::FakeCover(20)});
  Song(8, {.title = "link", .cover = fixtures::FakeCover(20)});
  Song(9, {.title = "pipe", .cover = fixtures::FakeCover(20)});
  SongTable table = Scan({0, 1, 2});
  PipeAt(dir.Path() / "pipe");
  fs::remove(Music("vxma8.vxn"));
  fs::create_symlink(dir.Path() / "pipe", Music("vxma8.vxn"));
  PipeAt(Music("vxma9.vxn"));

  // The scan sees one song; the check names the two others.
  EXPECT_EQ(ScanMusicFolder(dir.Gbk("MUSIC")).size(), 1u);
  const LibraryReport report = CheckLibrary(dir.Gbk("MUSIC"));
  ASSERT_EQ(report.findings.size(), 2u);
  for (const LibraryFinding& f : report.findings) EXPECT_EQ(f.kind, LibraryFinding::kChartNotRegular);
  EXPECT_EQ(Vxtool({"scan", dir.Native("MUSIC")}).code, 0);
  EXPECT_EQ(Vxtool({"check", dir.Native("MUSIC")}).code, 1);

  // The operations over a table scanned before: the game list keeps empty records, the covers are named.
  std::vector<int> unreadable;
  BuildGameList(table, dir.Gbk("MUSIC"), &unreadable);
  EXPECT_EQ(unreadable, (std::vector<int>{8, 9}));
  EXPECT_EQ(OnExportCovers(InCall({table, settings, ui})).outcome, Outcome::kFailed);
  const std::string notRegular =
      "不是普通文件(是管道、设备、文件夹或指向它们的链接),游戏和本程序都不会读取它";
  EXPECT_EQ(Messages(), V{"以下歌曲的封面没有导出:\n编号8:歌曲文件vxma8.vxn" + notRegular +
                          "\n编号9:歌曲文件vxma9.vxn" + notRegular});

  // A picked picture, list or archive, and the settings file.
  const std::string pipe = dir.Gbk("pipe");
  EXPECT_FALSE(RandomAccessFile::Open(pipe));
  EXPECT_EQ(ReadDirectory(pipe).Error().kind, ArchiveError::kCannotOpen);
  EXPECT_EQ(BuildBackground(pipe, 1).status, BackgroundBuild::kCannotRead);
  EXPECT_EQ(Vxtool({"game-list-read", dir.Native("pipe")}).code, 1);
  SongTable one = Scan({0});
  ui.openFileAnswers.push_back(pipe);
  EXPECT_EQ(OnImportCover(InCall({one, settings, ui})).outcome, Outcome::kFailed);
  ui.openFileAnswers.push_back(pipe);
  OnOpenSongList(InCall({one, settings, ui}));
  EXPECT_FALSE(ReadFolders(pipe));
  EXPECT_FALSE(EnsureSettingsFile(pipe));
  EXPECT_EQ(fs::status(dir.Path() / "pipe").type(), fs::file_type::fifo);
}
#endif

// Every operation that writes a file the person named refuses a link there and names it.
struct LinkedOutput {
  const char* name;
  const char* output;  // inside the test folder
  std::function<Outcome(SongTable&, const std::string& settings, fixtures::ScriptedInteraction&)> run;
  const char* lead;  // the message before the path
};

class LinkedOutputs : public LibraryTest, public ::testing::WithParamInterface<LinkedOutput> {};

TEST_P(LinkedOutputs, AreRefusedAndNamed) {
  const LinkedOutput& c = GetParam();
  Song(1, {.title = "a", .cover = fixtures::FakeCover(20)});
  fixtures::WriteFile(dir.Native("outside.txt"), kOld);
  if (!MakeLink(dir.Path() / "outside.txt", dir.Path() / PathFromUtf8(c.output)))
    GTEST_SKIP() << "no symbolic links here";
  SongTable table = Scan({0});
  ui.saveFileAnswers.push_back(dir.Gbk(c.output));
  EXPECT_EQ(c.run(table, settings, ui), Outcome::kFailed);
  EXPECT_EQ(Messages(),
            V{c.lead + Utf8FromGbk(dir.Gbk(c.output)) + "(这是符号链接,为了不写到别处,没有写入)"});
  EXPECT_EQ(Read(dir.Path() / "outside.txt"), kOld);
  EXPECT_TRUE(fs::is_symlink(dir.Path() / PathFromUtf8(c.output)));
}

const LinkedOutput kLinkedOutputs[] = {
    {"TextList", "list.txt",
     [](SongTable& t, const std::string&, auto& ui) {
       return OnTextList(InCall({t, {}, ui})).outcome;
     },
     "无法创建文件:\n"},
    {"GameList", "list.dat",
     [](SongTable& t, const std::string& s, auto& ui) {
       return OnGameList(InCall({t, s, ui})).outcome;
     },
     "无法创建文件:\n"},
    {"BatchText", "MUSIC/vxma1a.txt",
     [](SongTable& t, const std::string& s, auto& ui) {
       return OnBatchText(InCall({t, s, ui})).outcome;
     },
     "以下文件无法创建:\n"},
    {"Covers", "images/a.jpg",
     [](SongTable& t, const std::string& s, auto& ui) {
       return OnExportCovers(InCall({t, s, ui})).outcome;
     },
     "以下歌曲的封面没有导出:\n编号1:无法创建文件:"},
};
INSTANTIATE_TEST_SUITE_P(FileIo, LinkedOutputs, ::testing::ValuesIn(kLinkedOutputs),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vx
