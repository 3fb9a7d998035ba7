#include <gtest/gtest.h>

#include "core/formats/cover.h"
#include "core/formats/song_files.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace vx {
namespace {

using fixtures::ChartSpec;

struct CoverCase {
  const char* name;
  ChartSpec recipe;
  bool accepted;
  // Read whole but not a JPEG: the only refusal after which the preview keeps the last good cover.
  bool failedMarkerTest = false;
};

ChartSpec WithCover(Bytes cover) {
  ChartSpec recipe;
  recipe.cover = std::move(cover);
  return recipe;
}

ChartSpec Damaged(Bytes cover, std::optional<std::uint32_t> size, std::optional<std::uint32_t> offset) {
  ChartSpec recipe = WithCover(std::move(cover));
  recipe.coverSize = size;
  recipe.coverOffset = offset;
  return recipe;
}

class ReadCoverTest : public ::testing::TestWithParam<CoverCase> {};

TEST_P(ReadCoverTest, AcceptsOnlyAWholeCoverThatPassesTheMarkerTest) {
  fixtures::TempDir folder;
  const CoverCase& c = GetParam();
  fixtures::WriteSong(folder.Native(), 1, c.recipe);
  const auto cover = ReadCover(ChartPath(folder.Gbk(), 1));
  ASSERT_EQ(cover.has_value(), c.accepted);
  if (c.accepted) {
    EXPECT_EQ(*cover, c.recipe.cover);
  }
  EXPECT_EQ(ReadCoverExplained(ChartPath(folder.Gbk(), 1)).failedMarkerTest, c.failedMarkerTest);
}

Bytes NotStartingWithFF() {
  Bytes cover = fixtures::FakeCover(30);
  cover[0] = 0xD8;
  return cover;
}

INSTANTIATE_TEST_SUITE_P(
    Cover, ReadCoverTest,
    ::testing::Values(
        CoverCase{"RealJpeg", WithCover(fixtures::MakeJpeg(16, 12, 3)), true},
        CoverCase{"TwoBytesFF", WithCover(Bytes{0xFF, 0x00}), true},
        CoverCase{"FirstByteNotFF", WithCover(NotStartingWithFF()), false, true},
        CoverCase{"SizeOne", Damaged(fixtures::FakeCover(8), 1, std::nullopt), false},
        CoverCase{"SizeZero", Damaged(fixtures::FakeCover(8), 0, std::nullopt), false},
        CoverCase{"SizeRunsPastTheEnd", Damaged(fixtures::FakeCover(8), 0x7FFFFFF0u, std::nullopt), false},
        CoverCase{"OffsetPastTheEnd", Damaged(fixtures::FakeCover(8), std::nullopt, 0xFFFFFFF0u), false},
        CoverCase{"NoCoverAtAll", ChartSpec{}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vx
