#include <gtest/gtest.h>

#include <cstring>

#include "core/library/chart_header.h"
#include "core/library/scan.h"
#include "tests/support/fixtures.h"

namespace vx {
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
