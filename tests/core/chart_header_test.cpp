#include <gtest/gtest.h>

#include <cstring>

#include "core/formats/chart_header.h"
#include "core/formats/song_files.h"
#include "core/library/scan.h"
#include "core/operations/covers.h"
#include "core/operations/song_edit.h"
#include "tests/support/fixtures.h"
#include "tests/support/operation_context.h"
#include "tests/support/scripted_interaction.h"
#include "tests/support/temp_dir.h"

namespace vx {

using fixtures::InCall;
namespace {

struct BpmCase {
  const char* name;
  std::uint8_t low, high;
  const char* text;
};

class BpmText : public testing::TestWithParam<BpmCase> {};

TEST_P(BpmText, ShowsTheTruncatedTempo) {
  EXPECT_EQ(vx::BpmText(GetParam().low, GetParam().high), GetParam().text);
}

// The expected texts come from the float values by hand: the tempo with its low 16 mantissa bits dropped.
INSTANTIATE_TEST_SUITE_P(
    Cases, BpmText,
    testing::Values(BpmCase{"Stored150", 0x16, 0x43, "150.00"},        // 150.0f = 0x43160000
                    BpmCase{"Stored150Point5", 0x16, 0x43, "150.00"},  // 150.5f = 0x43168000
                    BpmCase{"Stored97Point3", 0xC2, 0x42, "97.00"},    // 97.3f = 0x42C2999A
                    BpmCase{"Stored63Point75", 0x7F, 0x42, "63.75"},   // lowest case, top
                    BpmCase{"Stored32", 0x00, 0x42, "32.00"}, BpmCase{"Stored64", 0x80, 0x42, "64.00"},
                    BpmCase{"Stored128", 0x00, 0x43, "128.00"}, BpmCase{"Stored256", 0x80, 0x43, "256.00"},
                    BpmCase{"Stored511", 0xFF, 0x43, "510.00"}, BpmCase{"Stored20", 0xA0, 0x41, "0.00"},
                    BpmCase{"Stored600", 0x16, 0x44, "0.00"}, BpmCase{"Negative150", 0x16, 0xC3, "0.00"},
                    BpmCase{"Zero", 0x00, 0x00, "0.00"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ChartHeader, FixtureTempoBytesMatchTheFloat) {
  EXPECT_EQ(fixtures::BpmBytes(150.5f), (std::pair<std::uint8_t, std::uint8_t>{0x16, 0x43}));
  EXPECT_EQ(fixtures::BpmBytes(97.3f), (std::pair<std::uint8_t, std::uint8_t>{0xC2, 0x42}));
}

TEST(ChartHeader, LevelAndTimeTexts) {
  EXPECT_EQ(LevelText(0), "0");
  EXPECT_EQ(LevelText(10), "10");
  EXPECT_EQ(LevelText(65535), "65535");
  EXPECT_EQ(PlayTimeText(0), "0:00");
  EXPECT_EQ(PlayTimeText(59), "0:59");
  EXPECT_EQ(PlayTimeText(60), "1:00");
  EXPECT_EQ(PlayTimeText(125), "2:05");
  EXPECT_EQ(PlayTimeText(3600), "60:00");
  EXPECT_EQ(PlayTimeText(65535), "1092:15");
}

TEST(ChartHeader, ParsesEveryField) {
  fixtures::ChartSpec recipe;
  recipe.bpm = 174.0f;
  recipe.easy = 0xFFFF;
  recipe.normal = 7;
  recipe.hard = 256;
  recipe.title = "\xD0\xC7\xD6\xAE\xBA\xA3";
  recipe.noter = "Ayu";
  recipe.playTime = 125;
  recipe.cover = fixtures::FakeCover(100);
  const Bytes chart = fixtures::BuildChart(recipe);
  const ChartHeader h = ParseChartHeader(chart);
  EXPECT_EQ(h.levelEasy, 65535);
  EXPECT_EQ(h.levelNormal, 7);
  EXPECT_EQ(h.levelHard, 256);
  EXPECT_EQ(h.title, recipe.title);
  EXPECT_EQ(h.noter, "Ayu");
  EXPECT_EQ(h.playTime, 125);
  EXPECT_EQ(h.coverSize, 100u);
  EXPECT_EQ(h.coverOffset, 300u + recipe.noteDataSize);

  const SongRow row = MakeSongRow(42, h);
  EXPECT_EQ(row.cells[kColId], "42");
  EXPECT_EQ(row.cells[kColBpm], "174.00");
  EXPECT_EQ(row.cells[kColTime], "2:05");
  EXPECT_EQ(row.cells[kColTick], "");
  EXPECT_EQ(row.cells[kColStatus], "");
  EXPECT_FALSE(row.ticked);
}

// Every field written by hand at its byte offset, as literals, then read by the parser; and the writers'
// fields checked at the same literal offsets. The fixture builder and the product share their offset
// constants, so only this test notices an offset that moved.
TEST(ChartHeader, FieldsSitAtTheirBytes) {
  Bytes chart(300, 0);
  auto put = [](Bytes& into, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
    std::copy(bytes.begin(), bytes.end(), into.begin() + static_cast<std::ptrdiff_t>(at));
  };
  put(chart, 0x12, {0x2E, 0x43});               // tempo 174.0f = 0x432E0000, its two high bytes
  put(chart, 0x14, {0x34, 0x12});               // easy 0x1234
  put(chart, 0x16, {0x07, 0x00});               // normal 7
  put(chart, 0x18, {0x00, 0x01});               // hard 256
  put(chart, 0x6C, {'S', 'k', 'y'});            // title
  put(chart, 0xCC, {'A', 'y', 'u'});            // author
  put(chart, 0x10C, {0x02, 0x01, 0x00, 0x00});  // cover size 258
  put(chart, 0x118, {0x7D, 0x00});              // play time 125 s
  put(chart, 0x128, {0x2C, 0x01, 0x00, 0x00});  // cover offset 300

  const ChartHeader h = ParseChartHeader(chart);
  EXPECT_EQ(vx::BpmText(h.bpmLow, h.bpmHigh), "174.00");
  EXPECT_EQ(h.levelEasy, 0x1234);
  EXPECT_EQ(h.levelNormal, 7);
  EXPECT_EQ(h.levelHard, 256);
  EXPECT_EQ(h.title, "Sky");
  EXPECT_EQ(h.noter, "Ayu");
  EXPECT_EQ(h.coverSize, 258u);
  EXPECT_EQ(h.playTime, 125);
  EXPECT_EQ(h.coverOffset, 300u);

  // The cover import writes the size field and puts the picture at the offset.
  const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xD9, 0x00};
  Bytes expected = chart;
  put(expected, 0x10C, {0x05, 0x00, 0x00, 0x00});
  expected.insert(expected.end(), jpeg.begin(), jpeg.end());
  EXPECT_EQ(RebuildChartWithCover(chart, 300, jpeg), expected);

  // The save writes the three levels and the title, and nothing else.
  fixtures::TempDir dir;
  fixtures::WriteFile(dir.Native("vxma1.vxn"), chart);
  SongTable table;
  table.Assign(ScanMusicFolder(dir.Gbk()));
  fixtures::ScriptedInteraction ui;
  ASSERT_EQ(
      OnSaveSong(InCall({table, {}, ui}), SongEditTarget{1, dir.Gbk()}, {"Moon", "1", "515", "65535"}, false)
          .saved,
      SaveOutcome::kSaved);
  expected = chart;
  put(expected, 0x14, {0x01, 0x00, 0x03, 0x02, 0xFF, 0xFF});
  put(expected, 0x6C, {'M', 'o', 'o', 'n'});
  EXPECT_EQ(ReadWholeFile(ChartPath(dir.Gbk(), 1)), expected);
}

TEST(ChartHeader, TextFieldsStopAtZeroOrFieldEnd) {
  fixtures::ChartSpec recipe;
  recipe.title = std::string(32, 'T');  // no terminator: exactly 32 bytes, nothing of the noter field
  recipe.noter = std::string("ab\0cd", 5);
  const ChartHeader h = ParseChartHeader(fixtures::BuildChart(recipe));
  EXPECT_EQ(h.title, std::string(32, 'T'));
  EXPECT_EQ(h.noter, "ab");
  EXPECT_EQ(ParseChartHeader(fixtures::BuildChart({.title = " spaced "})).title, " spaced ");
}

TEST(ChartHeader, ShortFileReadsMissingFieldsAsZero) {
  fixtures::ChartSpec recipe;
  recipe.title = "LongTitle";
  recipe.truncateTo = 0x6C + 4;  // ends inside the title; levels present, tempo present
  const ChartHeader h = ParseChartHeader(fixtures::BuildChart(recipe));
  EXPECT_EQ(h.title, "Long");
  EXPECT_EQ(h.levelHard, 9);
  EXPECT_EQ(h.noter, "");
  EXPECT_EQ(h.playTime, 0);
  EXPECT_EQ(h.coverOffset, 0u);

  EXPECT_EQ(ParseChartHeader(Bytes{}).levelEasy, 0);
  EXPECT_EQ(ParseChartHeader(Bytes(0x15, 0xFF)).levelEasy, 0);  // half a level field is no level
}

TEST(ChartHeader, TitleFieldIsZeroPadded) {
  const auto field = TitleField("ABC");
  EXPECT_EQ(std::memcmp(field.data(), "ABC\0\0", 5), 0);
  EXPECT_EQ(field[31], 0);
  const auto full = TitleField(std::string(31, 'x'));
  EXPECT_EQ(full[30], 'x');
  EXPECT_EQ(full[31], 0);
}

}  // namespace
}  // namespace vx
