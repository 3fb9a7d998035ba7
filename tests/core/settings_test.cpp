#include <gtest/gtest.h>

#include "core/settings/settings_file.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace vx {
namespace {

using fixtures::TempDir;

Bytes Read(const TempDir& dir) {
  return *ReadWholeFile(dir.Gbk("REC.re"));
}

TEST(SettingsFile, CreatedAsZerosOnlyWhenMissing) {
  TempDir dir;
  const std::string path = dir.Gbk("REC.re");
  ASSERT_TRUE(EnsureSettingsFile(path));
  EXPECT_EQ(Read(dir), Bytes(769, 0));
  const auto folders = ReadFolders(path);
  ASSERT_TRUE(folders);
  EXPECT_EQ(folders->musicDir, "");
  EXPECT_EQ(folders->moveDir, "");
  EXPECT_EQ(folders->imageDir, "");

  // An existing file is never touched, whatever its size.
  fixtures::WriteFile(dir.Native("REC.re"), Bytes{3, 'a', 'b', 'c'});
  ASSERT_TRUE(EnsureSettingsFile(path));
  EXPECT_EQ(Read(dir), (Bytes{3, 'a', 'b', 'c'}));
}

TEST(SettingsFile, ReadsEachSlot) {
  TempDir dir;
  fixtures::WriteFile(dir.Native("REC.re"),
                      fixtures::BuildSettingsFile("D:\\Game\\MUSIC", "E:\\moved", "\xCD\xBC"));
  const std::string path = dir.Gbk("REC.re");
  EXPECT_EQ(ReadFolder(path, FolderSlot::kMusic), "D:\\Game\\MUSIC");
  EXPECT_EQ(ReadFolder(path, FolderSlot::kMove), "E:\\moved");
  EXPECT_EQ(ReadFolder(path, FolderSlot::kImage), "\xCD\xBC");
  EXPECT_FALSE(ReadFolder(dir.Gbk("missing.re"), FolderSlot::kMusic));
}

TEST(SettingsFile, OddFilesReadSafely) {
  TempDir dir;
  const std::string path = dir.Gbk("REC.re");
  // Zero bytes inside the slot add nothing.
  Bytes withZeros(769, 0);
  withZeros[0] = 5;
  withZeros[1] = 'a';
  withZeros[3] = 'b';
  withZeros[5] = 'c';
  fixtures::WriteFile(dir.Native("REC.re"), withZeros);
  EXPECT_EQ(ReadFolder(path, FolderSlot::kMusic), "abc");

  // A short file: slot 0 claims more bytes than exist, slots 1 and 2 lie beyond the end.
  fixtures::WriteFile(dir.Native("REC.re"), Bytes{200, 'x', 'y'});
  EXPECT_EQ(ReadFolder(path, FolderSlot::kMusic), "xy");
  EXPECT_EQ(ReadFolder(path, FolderSlot::kMove), "");
  EXPECT_EQ(ReadFolder(path, FolderSlot::kImage), "");

  fixtures::WriteFile(dir.Native("REC.re"), Bytes{});
  EXPECT_EQ(ReadFolder(path, FolderSlot::kMusic), "");
}

TEST(SettingsFile, WritesAllThreeSlots) {
  TempDir dir;
  const std::string path = dir.Gbk("REC.re");
  ASSERT_TRUE(EnsureSettingsFile(path));
  const std::string full(255, 'F');
  ASSERT_EQ(WriteFolders(path, {"D:\\Game\\MUSIC", "", full}), WriteFoldersResult::kWritten);
  const Bytes file = Read(dir);
  ASSERT_EQ(file.size(), 769u);
  EXPECT_EQ(file[0], 13);
  EXPECT_EQ(std::string(file.begin() + 1, file.begin() + 14), "D:\\Game\\MUSIC");
  EXPECT_EQ(file[14], 0);
  EXPECT_EQ(file[256], 0);
  EXPECT_EQ(file[512], 255);
  EXPECT_EQ(std::string(file.begin() + 513, file.begin() + 768), full);  // no room, and no need, for a zero
  EXPECT_EQ(ReadFolders(path)->imageDir, full);
}

TEST(SettingsFile, TooLongFolderIsRefusedNotCut) {
  TempDir dir;
  const std::string path = dir.Gbk("REC.re");
  fixtures::WriteFile(dir.Native("REC.re"), fixtures::BuildSettingsFile("old"));
  const Bytes before = Read(dir);
  EXPECT_EQ(WriteFolders(path, {"new", std::string(256, 'x'), ""}), WriteFoldersResult::kTooLong);
  EXPECT_EQ(Read(dir), before);
}

TEST(SettingsFile, WriteNeverCreatesButExtendsAShortFile) {
  TempDir dir;
  EXPECT_EQ(WriteFolders(dir.Gbk("REC.re"), {"a", "b", "c"}), WriteFoldersResult::kNoFile);
  EXPECT_FALSE(FileExists(dir.Gbk("REC.re")));

  fixtures::WriteFile(dir.Native("REC.re"), Bytes(10, 0xEE));
  ASSERT_EQ(WriteFolders(dir.Gbk("REC.re"), {"a", "b", "c"}), WriteFoldersResult::kWritten);
  EXPECT_GE(Read(dir).size(), 768u);
  const auto folders = ReadFolders(dir.Gbk("REC.re"));
  EXPECT_EQ(folders->musicDir, "a");
  EXPECT_EQ(folders->moveDir, "b");
  EXPECT_EQ(folders->imageDir, "c");
}

}  // namespace
}  // namespace vx
