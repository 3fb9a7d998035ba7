#include <gtest/gtest.h>

#include <climits>

#include "core/text/compare.h"
#include "core/text/file_name.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"
#include "core/text/number.h"

namespace vx {
namespace {

TEST(GbkText, RoundTripsChineseAndAscii) {
  const std::string utf8 = "星之海 Summer €";
  const auto gbk = GbkFromUtf8(utf8);
  ASSERT_TRUE(gbk);
  EXPECT_EQ(*gbk, "\xD0\xC7\xD6\xAE\xBA\xA3 Summer \x80");  // code page 936: 0x80 is the euro sign
  EXPECT_EQ(Utf8FromGbk(*gbk), utf8);
}

TEST(GbkText, ShowingNeverDropsBytes) {
  // A lone lead byte at the end and a byte that starts nothing: each becomes one replacement mark.
  EXPECT_EQ(Utf8FromGbk("A\xFF"
                        "B\xD0"),
            "A\xEF\xBF\xBD"
            "B\xEF\xBF\xBD");
  EXPECT_EQ(Utf8FromGbk(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(GbkText, StoringRefusesWhatDoesNotComeBackAndNamesIt) {
  std::string bad;
  EXPECT_FALSE(GbkFromUtf8("ok 😀 then", &bad));
  EXPECT_EQ(bad, "😀");
  EXPECT_FALSE(GbkFromUtf8("\xC3", &bad));  // a cut-off UTF-8 sequence
  // A tag character that a converter may drop silently: the folder would be another folder.
  EXPECT_FALSE(GbkFromUtf8("MUSIC\xF3\xA0\x80\x81", &bad));
  EXPECT_EQ(bad, "\xF3\xA0\x80\x81");
  EXPECT_EQ(GbkPath(PathFromUtf8("MUSIC\xF3\xA0\x80\x81")), "");
}

TEST(AtoI, ReadsLikeTheCRunTime) {
  EXPECT_EQ(AtoI("42"), 42);
  EXPECT_EQ(AtoI("  \t42abc"), 42);
  EXPECT_EQ(AtoI("-7"), -7);
  EXPECT_EQ(AtoI("+3"), 3);
  EXPECT_EQ(AtoI("007"), 7);
  EXPECT_EQ(AtoI("120.50"), 120);
  EXPECT_EQ(AtoI("abc"), 0);
  EXPECT_EQ(AtoI(""), 0);
  EXPECT_EQ(AtoI("- 5"), 0);
  EXPECT_EQ(AtoI("99999999999"), INT_MAX);
  EXPECT_EQ(AtoI("-99999999999"), INT_MIN);
}

TEST(CompareGbk, ComparesCharactersNotBytes) {
  EXPECT_LT(CompareGbk("Zebra", "\xB0\xA1"), 0);  // ASCII before any Chinese character
  EXPECT_LT(CompareGbk("abc", "abcd"), 0);
  EXPECT_GT(CompareGbk("abd", "abc"), 0);
  EXPECT_EQ(CompareGbk("\xD0\xC7", "\xD0\xC7"), 0);
  EXPECT_LT(CompareGbk("B", "a"), 0);  // no case folding
  // A stray 0xFF is a single-byte character of value 255, below any double-byte character.
  EXPECT_LT(CompareGbk("\xFF", "\x81\x40"), 0);
}

TEST(CompareTimeText, LongerTextIsLongerTime) {
  EXPECT_LT(CompareTimeText("9:59", "10:00"), 0);
  EXPECT_GT(CompareTimeText("100:00", "99:59"), 0);
  EXPECT_LT(CompareTimeText("2:05", "2:06"), 0);
  EXPECT_EQ(CompareTimeText("0:00", "0:00"), 0);
}

TEST(AsciiCase, FoldsOnlyAsciiLetters) {
  EXPECT_EQ(LowerAscii("VXMA7.Vxn\xC1\xDA"), "vxma7.vxn\xC1\xDA");  // bytes above 0x7F stay
  EXPECT_TRUE(EqualsIgnoringAsciiCase("RegServer", "regserver"));
  EXPECT_FALSE(EqualsIgnoringAsciiCase("RegServer", "RegServe"));
  EXPECT_TRUE(EndsWithIgnoringAsciiCase("a.VXN", ".vxn"));
  EXPECT_FALSE(EndsWithIgnoringAsciiCase("n", ".vxn"));
}

TEST(MakeFileNameSafe, DropsWhatNoFileNameMayHoldOnAnyPlatform) {
  EXPECT_EQ(MakeFileNameSafe("a[b\\c/d:e*f?g<h>i|j]k+l\"m"), "abcdefghijklm");
  EXPECT_EQ(MakeFileNameSafe("t\tab\r\n\x01\x1F end\x7F"), "tab end\x7F");
  EXPECT_EQ(MakeFileNameSafe("../../etc"), "....etc");
  EXPECT_EQ(MakeFileNameSafe(""), "");
}

TEST(MakeFileNameSafe, KeepsDoubleByteCharactersWhole) {
  // Trail bytes 0x5C, 0x5B, 0x5D and 0x7C are ordinary in GBK; dropping them would break the character
  // and change the next one.
  const std::string title = "\x81\x5C\x81\x5B\x81\x5D\x81\x7C/\xD0\xC7";
  EXPECT_EQ(MakeFileNameSafe(title), "\x81\x5C\x81\x5B\x81\x5D\x81\x7C\xD0\xC7");
  // A lead byte with nothing valid after it stands alone; the separator after it still goes.
  EXPECT_EQ(MakeFileNameSafe("\x81/"), "\x81");
}

TEST(NativePath, ConvertsGbkToTheFileSystemsEncoding) {
  EXPECT_EQ(Utf8FromPath(NativePath("\xD2\xF4\xC0\xD6/MUSIC")), "音乐/MUSIC");
  EXPECT_EQ(GbkPath(PathFromUtf8("音乐")), "\xD2\xF4\xC0\xD6");
  EXPECT_EQ(JoinPath("", "vxma1.vxn"), std::string(1, kPathSeparator) + "vxma1.vxn");
}

}  // namespace
}  // namespace vx
