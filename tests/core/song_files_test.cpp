#include <gtest/gtest.h>

#include "core/formats/song_files.h"
#include "core/text/native_path.h"

namespace vx {
namespace {

TEST(ChartFileName, OnlyTheGamesExactForm) {
  EXPECT_EQ(ParseChartFileName("vxma0.vxn", false), 0);
  EXPECT_EQ(ParseChartFileName("vxma4999.vxn", false), 4999);
  for (const char* name :
       {"vxma5000.vxn", "vxma0007.vxn", "vxma07.vxn", "vxma.vxn", "vxma7.vxm", "vxma7.vxn.bak", "vxma-7.vxn",
        "vxma+7.vxn", "vxma 7.vxn", "xvxma7.vxn", "vxma12345.vxn"})
    EXPECT_FALSE(ParseChartFileName(name, true)) << name;
  EXPECT_FALSE(ParseChartFileName("VXMA7.VXN", false));
  EXPECT_EQ(ParseChartFileName("VXMA7.VXN", true), 7);
}

TEST(SongFileName, MusicNamesFollowTheChartsRule) {
  EXPECT_EQ(ParseSongFileName("vxma12.vxm", false), 12);
  EXPECT_EQ(ParseSongFileName("vxma12.vxn", false), 12);
  EXPECT_FALSE(ParseSongFileName("vxma012.vxm", true));
  EXPECT_FALSE(ParseSongFileName("vxma12.VXM", false));
  // Where case is ignored every spelling of the extension names the song, a mixed one too.
  EXPECT_EQ(ParseSongFileName("vxma12.Vxm", true), 12);
  EXPECT_FALSE(ParseChartFileName("vxma12.vxm", true));

  // The loose split keeps what the game would not load, for the library check to name.
  const auto split = SplitSongFileName("VXMA0007.vxn");
  ASSERT_TRUE(split);
  EXPECT_EQ(split->digits, "0007");
  EXPECT_TRUE(split->chart);
  EXPECT_FALSE(SplitSongFileName("vxma7x.vxn"));
}

TEST(SongFileName, TheMusicBesideAChartOfAnyName) {
  EXPECT_TRUE(HasChartExtension("/in/song.VxN"));
  EXPECT_FALSE(HasChartExtension("/in/song.vxm"));
  EXPECT_EQ(MusicBesideChart("/in/song.vxn"), "/in/song.vxm");
  EXPECT_EQ(MusicBesideChart("/in/SONG.VXN"), "/in/SONG.VXM");
  const std::string sep(1, kPathSeparator);
  EXPECT_EQ(ChartPath("m", 7), "m" + sep + "vxma7.vxn");
  EXPECT_EQ(MusicPath("m", 7), "m" + sep + "vxma7.vxm");
}

}  // namespace
}  // namespace vx
