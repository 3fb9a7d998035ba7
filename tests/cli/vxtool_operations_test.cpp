// The operation subcommands of vxtool, run in-process: the files they write, --ids and --sort, and how
// failures reach the exit code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "core/io/byte_reader.h"
#include "core/io/file_io.h"
#include "core/text/gbk.h"
#include "tests/cli/run_vxtool.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unreadable_file.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using fixtures::TempDir;

// Paths here are UTF-8 text, as vxtool takes them.
bool Exists(const std::string& utf8) {
  return fs::exists(PathFromUtf8(utf8));
}

class VxtoolOperations : public ::testing::Test {
 protected:
  VxtoolOperations() {
    for (int id : {5, 12, 100, 101, 300})
      fixtures::WriteSong(music, id,
                          {.title = "t" + std::to_string(id), .cover = fixtures::FakeCover(20 + id)});
  }
  Bytes Read(const std::string& native) const {
    return ReadWholeFile(GbkPath(PathFromUtf8(native))).value_or(Bytes{});
  }
  static std::uint32_t U32(const Bytes& b, std::size_t at) {
    ByteReader in(b);
    std::uint32_t v = 0;
    in.Seek(at);
    in.ReadU32Le(v);
    return v;
  }

  // Every file of the MUSIC folder with its bytes.
  std::map<fs::path, Bytes> Contents() const {
    std::map<fs::path, Bytes> files;
    for (const auto& e : fs::directory_iterator(dir.Path() / "MUSIC"))
      files[e.path()] = Read(Utf8FromPath(e.path()));
    return files;
  }

  TempDir dir;
  std::string music = dir.Native("MUSIC");
};

TEST_F(VxtoolOperations, TextListTicksByIdsAndRangesInSortedOrder) {
  const VxtoolResult r =
      Vxtool({"text-list", music, "-o", dir.Native("l.txt"), "--ids", "5, 99-101,4000", "--sort", "id"});
  ASSERT_EQ(r.code, 0) << r.err;
  const Bytes file = Read(dir.Native("l.txt"));
  const std::string text(file.begin(), file.end());
  ASSERT_EQ(text.size(), 114u + 3 * 114);
  EXPECT_EQ(text.substr(116, 10), "101       ");
  EXPECT_EQ(text.substr(116 + 114, 10), "100       ");
  EXPECT_EQ(text.substr(116 + 228, 10), "5         ");
}

TEST_F(VxtoolOperations, GameListWithMarksOnTickedSongsOnly) {
  const VxtoolResult r =
      Vxtool({"game-list", music, "-o", dir.Native("g.dat"), "--ids", "12,100,300", "--mark", "300=weekly",
              "--mark", "12=popular", "--mark", "5=newest", "--mark", "7=newest"});
  ASSERT_EQ(r.code, 0) << r.err;
  const Bytes file = Read(dir.Native("g.dat"));
  ASSERT_EQ(file.size(), 8u + 3 * 300 + 2 * 16);
  EXPECT_EQ(U32(file, 0), 3u);
  const Bytes chart = Read(music + "/vxma100.vxn");
  EXPECT_TRUE(std::equal(chart.begin(), chart.begin() + 300, file.begin() + 304));
  EXPECT_EQ(U32(file, 904), 2u);
  EXPECT_EQ((std::vector<std::uint32_t>{U32(file, 908), U32(file, 916), U32(file, 920)}),
            (std::vector<std::uint32_t>{12, 2, 0}));
  EXPECT_EQ((std::vector<std::uint32_t>{U32(file, 924), U32(file, 932), U32(file, 936)}),
            (std::vector<std::uint32_t>{300, 0, 1}));
}

TEST_F(VxtoolOperations, ImportThenExportGivesThePictureBackAndABadPictureFails) {
  const Bytes jpeg = fixtures::MakeJpeg(8, 8, 1);
  fixtures::WriteFile(dir.Native("new.jpg"), jpeg);
  VxtoolResult r = Vxtool({"import-cover", music, "12", dir.Native("new.jpg")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(fs::file_size(PathFromUtf8(music + "/vxma12.vxn")), 364u + jpeg.size());
  r = Vxtool({"export-covers", music, dir.Native("out"), "--ids", "12,5"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.err, "完成^_^\n");
  EXPECT_EQ(Read(dir.Native("out/t12.jpg")), jpeg);
  EXPECT_EQ(Read(dir.Native("out/t5.jpg")), fixtures::FakeCover(25));

  fixtures::WriteFile(dir.Native("bad.jpg"), Bytes{1, 2, 3});
  r = Vxtool({"import-cover", music, "5", dir.Native("bad.jpg")});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "vxtool: 请检查导入图片是否JPG(JFIF)格式\n");
  EXPECT_EQ(Vxtool({"import-cover", music, "6", dir.Native("new.jpg")}).err, "vxtool: 导入图片请单选列表!\n");
}

TEST_F(VxtoolOperations, EditStoresTheTitleAsGbkAndRefusesALevelTheFieldCannotHold) {
  const VxtoolResult r = Vxtool({"edit", music, "100", "--title", "星之海", "--hard", "4464"});
  ASSERT_EQ(r.code, 0) << r.err;
  const Bytes chart = Read(music + "/vxma100.vxn");
  EXPECT_EQ(std::string(chart.begin() + 0x6C, chart.begin() + 0x6C + 7), Gbk("星之海") + '\0');
  EXPECT_EQ(chart[0x18], 0x70);
  EXPECT_EQ(chart[0x19], 0x11);
  EXPECT_EQ(chart[0x14], 1);  // untouched levels keep their value
  EXPECT_EQ(Vxtool({"edit", music, "7", "--easy", "1"}).code, 1);

  const VxtoolResult refused = Vxtool({"edit", music, "100", "--title", "X", "--hard", "70000"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.err, "vxtool: 等级只能是0到65535之间的数,这一项超出了范围:困难\n");
  EXPECT_EQ(Read(music + "/vxma100.vxn"), chart);
}

TEST_F(VxtoolOperations, DeleteTrashesOrDeletesOnlyTheListedSongs) {
#ifndef _WIN32
  const std::string data = dir.Native("data");
  ::setenv("XDG_DATA_HOME", data.c_str(), 1);
  const VxtoolResult trashed = Vxtool({"delete", music, "--ids", "5,12"});
  ::unsetenv("XDG_DATA_HOME");
  ASSERT_EQ(trashed.code, 0) << trashed.err;
  EXPECT_EQ(trashed.out, "deleted 2 songs (4 files)\n");
  EXPECT_TRUE(Exists(data + "/Trash/files/vxma5.vxn"));
  EXPECT_TRUE(Exists(data + "/Trash/info/vxma12.vxm.trashinfo"));
  EXPECT_FALSE(Exists(music + "/vxma12.vxn"));
#endif
  const VxtoolResult r = Vxtool({"delete", music, "--ids", "100", "--permanent"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_FALSE(Exists(music + "/vxma100.vxn"));
  EXPECT_TRUE(Exists(music + "/vxma101.vxn"));
}

TEST_F(VxtoolOperations, MoveNeverReplacesAndFailsOnAClash) {
  fs::create_directories(dir.Path() / "target");
  fixtures::WriteFile(dir.Native("target/vxma12.vxn"), Bytes{7});
  const VxtoolResult r = Vxtool({"move", music, dir.Native("target"), "--ids", "5,12"});
  EXPECT_EQ(r.code, 1);
  // The clashing song is skipped whole: its music stays with its chart.
  EXPECT_EQ(r.err, "vxtool: song 12 (t12) not moved, the target already has " +
                       Utf8FromPath(dir.Path() / "target" / "vxma12.vxn") + "\n");
  EXPECT_EQ(Read(dir.Native("target/vxma12.vxn")), Bytes{7});
  EXPECT_TRUE(Exists(music + "/vxma12.vxn") && Exists(music + "/vxma12.vxm"));
  EXPECT_FALSE(Exists(dir.Native("target/vxma12.vxm")));
  EXPECT_TRUE(Exists(dir.Native("target/vxma5.vxn")) && !Exists(music + "/vxma5.vxn"));
}

TEST_F(VxtoolOperations, BatchTextWritesBesideTheCharts) {
  ASSERT_EQ(Vxtool({"batch-text", music, "--ids", "300"}).code, 0);
  EXPECT_EQ(Read(music + "/vxma300t300.txt"), (Bytes{'t', '3', '0', '0'}));
  EXPECT_EQ(Vxtool({"batch-text", music, "--ids", "7"}).err, "vxtool: no song ticked (check --ids)\n");
}

struct BadCommandLine {
  const char* name;
  std::vector<std::string> args;  // MUSIC is put after the command
  int code;
};

class VxtoolBadCommandLines : public VxtoolOperations,
                              public ::testing::WithParamInterface<BadCommandLine> {};

TEST_P(VxtoolBadCommandLines, ChangeNothing) {
  std::vector<std::string> args = GetParam().args;
  args.insert(args.begin() + 1, music);
  const auto before = Contents();
  const VxtoolResult r = Vxtool(args);
  EXPECT_EQ(r.code, GetParam().code);
  EXPECT_EQ(r.err.rfind("vxtool: ", 0), 0u) << r.err;
  EXPECT_EQ(Contents(), before);
}

const BadCommandLine kBadCommandLines[] = {
    {"DeleteWithoutIds", {"delete"}, 2},
    {"MoveWithoutIds", {"move", "/tmp"}, 2},
    {"FallingRange", {"batch-text", "--ids", "9-3"}, 2},
    {"NotAnId", {"batch-text", "--ids", "5,x"}, 2},
    {"EmptyItem", {"batch-text", "--ids", "5,,6"}, 2},
    {"NegativeId", {"batch-text", "--ids", "-5"}, 2},
    {"UnknownMark", {"game-list", "-o", "/tmp/never.dat", "--mark", "5=soon"}, 2},
    {"ListWithoutOutput", {"text-list"}, 2},
    {"UnknownSortColumn", {"batch-text", "--sort", "status"}, 2},
    {"MoveIntoNowhere", {"move", "/nonexistent/vx", "--ids", "5"}, 1},
    {"MusicNotAFolder", {"batch-text", "extra-positional"}, 2},
    {"UnknownOption", {"edit", "5", "--title", "A", "--bogus", "x"}, 2},
    {"OptionOfAnotherCommand", {"delete", "--ids", "5", "--sort", "id"}, 2},
    {"FlagOfAnotherCommand", {"batch-text", "--permanent"}, 2},
    {"OptionWithoutOptionsAllowed", {"import-cover", "5", "/tmp/never.jpg", "--ids", "5"}, 2},
    {"TitleTwice", {"edit", "5", "--title", "A", "--title", "B"}, 2},
    {"IdsTwice", {"delete", "--ids", "5", "--ids", "12"}, 2},
    {"OutputTwice", {"text-list", "-o", "/tmp/never1.txt", "-o", "/tmp/never2.txt"}, 2},
    {"FlagTwice", {"delete", "--ids", "5", "--permanent", "--permanent"}, 2},
};
INSTANTIATE_TEST_SUITE_P(Vxtool, VxtoolBadCommandLines, ::testing::ValuesIn(kBadCommandLines),
                         [](const auto& info) { return std::string(info.param.name); });

// Song 12's chart is there but cannot be read (another program holds it, or it is not ours to read):
// every command that names it fails with that reason and the file's name instead of calling the song
// missing, and changes nothing, not even the readable songs named beside it.
struct UnreadableSongCommand {
  const char* name;
  std::vector<std::string> args;  // MUSIC is put after the command; TARGET and JPEG stand for those paths
};

class VxtoolUnreadableSong : public VxtoolOperations,
                             public ::testing::WithParamInterface<UnreadableSongCommand> {};

TEST_P(VxtoolUnreadableSong, SaysWhyAndChangesNothing) {
  if (!fixtures::UnreadableFile::Possible()) GTEST_SKIP() << "root reads every file";
  fs::create_directories(dir.Path() / "target");
  fixtures::WriteFile(dir.Native("new.jpg"), fixtures::MakeJpeg(8, 8, 1));
  std::vector<std::string> args = GetParam().args;
  args.insert(args.begin() + 1, music);
  for (std::string& a : args)
    if (a == "TARGET" || a == "JPEG") a = dir.Native(a == "TARGET" ? "target" : "new.jpg");
  const auto before = Contents();
  VxtoolResult r;
  {
    const fixtures::UnreadableFile held(PathFromUtf8(music + "/vxma12.vxn"));
    r = Vxtool(args);
  }
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "vxtool: " + fixtures::UnreadableFile::ChartReason("vxma12.vxn") + "\n");
  EXPECT_EQ(Contents(), before);
  EXPECT_TRUE(fs::is_empty(dir.Path() / "target"));
}

const UnreadableSongCommand kUnreadableSongCommands[] = {
    {"Edit", {"edit", "12", "--title", "X", "--no-history"}},
    {"ImportCover", {"import-cover", "12", "JPEG", "--no-history"}},
    {"Delete", {"delete", "--ids", "5,12", "--permanent"}},
    {"Move", {"move", "TARGET", "--ids", "0-4999"}},
    {"Renumber", {"renumber", "12", "40", "--no-history"}},
};
INSTANTIATE_TEST_SUITE_P(Vxtool, VxtoolUnreadableSong, ::testing::ValuesIn(kUnreadableSongCommands),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VxtoolOperations, InstallRenumberHistoryAndRestoreSpeakInLinesAndExitCodes) {
  const std::string history = dir.Native("history");
  fixtures::WriteSong(dir.Native("in"), 5, {.title = "Again"});
  fixtures::WriteSong(dir.Native("in"), 7, {.title = "Seven"});
  VxtoolResult r = Vxtool({"install", music, dir.Native("in"), "--on-clash", "skip", "--history", history});
  EXPECT_EQ(r.code, 1);  // the clash of song 5 was skipped
  EXPECT_EQ(r.out, Utf8FromPath(dir.Path() / "in" / "vxma5.vxn") + "\tskipped: 选择了跳过\n" +
                       Utf8FromPath(dir.Path() / "in" / "vxma7.vxn") + "\t7\n");
  EXPECT_TRUE(Exists(music + "/vxma7.vxn") && Exists(music + "/vxma7.vxm"));
  EXPECT_EQ(Vxtool({"install", music, dir.Native("in"), "--on-clash", "later"}).code, 2);

  r = Vxtool({"renumber", music, "7", "12", "--history", history});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "vxtool: 这个编号已有歌曲:编号12 t12\n");
  ASSERT_EQ(Vxtool({"renumber", music, "7", "8", "--history", history}).code, 0);
  ASSERT_EQ(Vxtool({"edit", music, "8", "--title", "Eight", "--no-history", "--history", history}).code, 0);

  r = Vxtool({"history", music, "--history", history});
  ASSERT_EQ(r.code, 0);
  std::istringstream lines(r.out);
  std::string entry, time, id, operation, title, rest;
  std::getline(lines, entry, '\t');
  std::getline(lines, time, '\t');
  std::getline(lines, id, '\t');
  std::getline(lines, operation, '\t');
  std::getline(lines, title, '\n');
  EXPECT_EQ(id + " " + operation + " " + title, "7 renumber Seven");  // the edit kept nothing
  EXPECT_FALSE(std::getline(lines, rest));

  // Taking the renumber back gives the song its old ID, under its edited title.
  ASSERT_EQ(Vxtool({"restore", music, entry, "--history", history}).code, 0) << r.err;
  EXPECT_TRUE(Exists(music + "/vxma7.vxn") && !Exists(music + "/vxma8.vxn"));
  EXPECT_EQ(Vxtool({"restore", music, "nothing-such", "--history", history}).code, 1);
}

}  // namespace
}  // namespace vx
