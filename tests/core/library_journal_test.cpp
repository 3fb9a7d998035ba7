// The journal's format, read strictly, and what opening a folder does with a journal it cannot trust.
// What it does with a sound one, at every crash point, is the crash walk's.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "core/io/library_journal.h"
#include "core/library/library_check.h"
#include "core/operations/interrupted_work.h"
#include "core/operations/song_numbers.h"
#include "tests/cli/run_vxtool.h"
#include "tests/support/fixtures.h"
#include "tests/support/operation_context.h"
#include "tests/support/scripted_interaction.h"
#include "tests/support/temp_dir.h"

namespace vx {
namespace {

using Kind = JournalEntry::Kind;

Bytes Text(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

TEST(LibraryJournal, EveryEntryReadsBackAsWritten) {
  const std::vector<JournalEntry> entries = {
      {.kind = Kind::kAdd, .id = 8, .chartTemporary = "vxma8.vxn.vxtmp-9c"},
      {.kind = Kind::kInstall,
       .id = 7,
       .replace = true,
       .musicTemporary = "vxma7.vxm.vxtmp-1f",
       .chartTemporary = "vxma7.vxn.vxtmp-a0"},
      {.kind = Kind::kRenumber, .id = 0, .to = 4999},
      {.kind = Kind::kDelete, .id = 12},
      // A target with a space, a percent sign and GBK bytes (移动 100%).
      {.kind = Kind::kMove, .id = 3, .target = "D:\\\xD2\xC6\xB6\xAF 100%"},
  };
  const std::string text = FormatJournal(entries);
  EXPECT_EQ(text,
            "vxorganizer journal 1\n"
            "add 8 vxma8.vxn.vxtmp-9c\n"
            "install 7 1 vxma7.vxm.vxtmp-1f vxma7.vxn.vxtmp-a0\n"
            "renumber 0 4999\n"
            "delete 12\n"
            "move 3 D:\\%D2%C6%B6%AF%20100%25\n"
            "end\n");
  EXPECT_EQ(ParseJournal(Text(text)), entries);
  EXPECT_EQ(ParseJournal(Text("vxorganizer journal 1\nend\n")), std::vector<JournalEntry>{});
}

TEST(LibraryJournal, AnythingButAWholeJournalIsDamaged) {
  const char* const kDamaged[] = {
      "",
      "vxorganizer journal 1\n",                             // cut before its end
      "vxorganizer journal 1\ndelete 12\n",                  // cut before its end
      "vxorganizer journal 1\ndelete 12\nend",               // no line break at the end
      "vxorganizer journal 1\ndelete 12\nend\ndelete 13\n",  // something after the end
      "vxorganizer journal 2\ndelete 12\nend\n",             // another version
      "vxorganizer journal 1\r\ndelete 12\r\nend\r\n",       // other line breaks
      "vxorganizer journal 1\ndelete 012\nend\n",            // leading zero
      "vxorganizer journal 1\ndelete 5000\nend\n",           // past the last ID
      "vxorganizer journal 1\ndelete -1\nend\n",             // no sign
      "vxorganizer journal 1\ndelete  12\nend\n",            // two spaces
      "vxorganizer journal 1\ndelete 12 \nend\n",            // trailing space
      "vxorganizer journal 1\nerase 12\nend\n",              // unknown kind
      "vxorganizer journal 1\nrenumber 4 4\nend\n",          // to itself
      "vxorganizer journal 1\ninstall 7 1 vxma8.vxm.vxtmp-1 vxma7.vxn.vxtmp-2\nend\n",  // another song's copy
      "vxorganizer journal 1\ninstall 7 1 ../vxma7.vxm.vxtmp-1 vxma7.vxn.vxtmp-2\nend\n",
      "vxorganizer journal 1\ninstall 7 2 vxma7.vxm.vxtmp-1 vxma7.vxn.vxtmp-2\nend\n",
      "vxorganizer journal 1\nadd 8 vxma8.vxm.vxtmp-1\nend\n",  // the music's copy, not the chart's
      "vxorganizer journal 1\nmove 3 D:\\%d2%c6\nend\n",        // lower-case escape
      "vxorganizer journal 1\nmove 3 a%41\nend\n",              // a plain byte escaped
      "vxorganizer journal 1\nmove 3 a%2\nend\n",               // escape cut short
      "vxorganizer journal 1\nmove 3 \nend\n",                  // no target
  };
  for (const char* text : kDamaged) EXPECT_FALSE(ParseJournal(Text(text))) << text;
}

// A damaged journal is named by the check and by the opening, acted on by nobody, and no writer that
// needs a journal of its own writes over it.
TEST(LibraryJournal, ADamagedJournalIsReportedAndLeftAlone) {
  fixtures::TempDir dir;
  fixtures::WriteSong(dir.Native("MUSIC"), 2, {.title = "two"});
  const Bytes damaged = Text("vxorganizer journal 1\nrenumber 2 20\n");
  fixtures::WriteFile(dir.Native("MUSIC/vxorganizer.journal"), damaged);

  const LibraryReport report = CheckLibrary(dir.Gbk("MUSIC"));
  ASSERT_EQ(report.findings.size(), 1u);
  EXPECT_EQ(report.findings[0].kind, LibraryFinding::kJournalDamaged);

  fixtures::ScriptedInteraction ui;
  EXPECT_EQ(RecoverInterruptedWork(dir.Gbk("MUSIC"), ui), Recovery::kDamaged);
  ASSERT_EQ(ui.Messages().size(), 1u);
  EXPECT_EQ(ui.Messages()[0].rfind("歌曲文件夹里的操作日志已损坏", 0), 0u) << ui.Messages()[0];

  SongTable table;
  fixtures::ScriptedInteraction writer;
  EXPECT_EQ(
      RenumberSong(fixtures::InCall({table, {}, writer, nullptr, FolderSettings{dir.Gbk("MUSIC"), {}, {}}}),
                   2, 20)
          .outcome,
      Outcome::kFailed);
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "MUSIC/vxma2.vxn"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "MUSIC/vxma20.vxn"));
  EXPECT_EQ(ReadWholeFile(dir.Gbk("MUSIC/vxorganizer.journal")), damaged);
}

// A song added to a free ID is written down before its files are made: after a crash its chart in place
// means it is whole (the chart comes last, once everything was flushed); without it, whatever was made of
// the song goes, and nothing else.
TEST(LibraryJournal, AnAddedSongIsKeptWithItsChartAndRemovedWithout) {
  struct Case {
    const char* what;
    std::vector<std::string> made;  // in MUSIC, beside song 2
    std::vector<std::string> left;
    const char* said;
  };
  const std::vector<Case> cases = {
      {"killed before its files", {}, {}, ""},
      {"killed before the music's copy", {"vxma8.vxn.vxtmp-5e"}, {}, "编号8 安装:已撤销"},
      {"killed before the chart's rename", {"vxma8.vxm", "vxma8.vxn.vxtmp-5e"}, {}, "编号8 安装:已撤销"},
      {"killed after the chart's rename", {"vxma8.vxm", "vxma8.vxn"}, {"vxma8.vxm", "vxma8.vxn"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fixtures::TempDir dir;
    fixtures::WriteSong(dir.Native("MUSIC"), 2, {.title = "two"});
    for (const std::string& name : c.made) fixtures::WriteFile(dir.Native("MUSIC/" + name), Bytes(40, 8));
    fixtures::WriteFile(
        dir.Native("MUSIC/vxorganizer.journal"),
        Text(FormatJournal({{.kind = Kind::kAdd, .id = 8, .chartTemporary = "vxma8.vxn.vxtmp-5e"}})));
    fixtures::ScriptedInteraction ui;
    const Recovery recovery = RecoverInterruptedWork(dir.Gbk("MUSIC"), ui);
    EXPECT_EQ(recovery, *c.said ? Recovery::kDone : Recovery::kNothing);
    EXPECT_EQ(ui.Messages().empty() ? "" : ui.Messages().at(0),
              *c.said ? std::string("上次的操作没有完成:\n") + c.said : "");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path() / "MUSIC"))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = c.left;
    expected.insert(expected.end(), {"vxma2.vxm", "vxma2.vxn"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
  }
}

// vxtool mends a folder before it reads it, and says so once; the check then finds the folder clean.
TEST(LibraryJournal, VxtoolMendsTheFolderBeforeItLooks) {
  fixtures::TempDir dir;
  // A renumber of 2 to 20 killed between its two renames: the chart moved, the music not yet.
  fixtures::WriteSong(dir.Native("MUSIC"), 2, {.title = "two"});
  std::filesystem::rename(dir.Path() / "MUSIC/vxma2.vxn", dir.Path() / "MUSIC/vxma20.vxn");
  fixtures::WriteFile(dir.Native("MUSIC/vxorganizer.journal"),
                      Text(FormatJournal({{.kind = Kind::kRenumber, .id = 2, .to = 20}})));
  const VxtoolResult r = Vxtool({"check", dir.Native("MUSIC")});
  EXPECT_EQ(r.code, 0) << r.out << r.err;
  EXPECT_EQ(r.err, "上次的操作没有完成:\n编号2 改编号:已撤销\n");
  EXPECT_TRUE(std::filesystem::exists(dir.Path() / "MUSIC/vxma2.vxn"));
  EXPECT_FALSE(std::filesystem::exists(dir.Path() / "MUSIC/vxorganizer.journal"));
  EXPECT_EQ(Vxtool({"check", dir.Native("MUSIC")}).err, "");
}

}  // namespace
}  // namespace vx
