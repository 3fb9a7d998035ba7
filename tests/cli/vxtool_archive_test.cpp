#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/archive/archive_reader.h"
#include "tests/cli/run_vxtool.h"
#include "tests/support/archive_fixtures.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace vx {
namespace {

using fixtures::TempDir;

TEST(VxtoolArchive, ListsTheDemoArchiveAndExportsItsFrames) {
  TempDir dir;
  ASSERT_EQ(Vxtool({"demo", dir.Native(), "--songs", "0"}).code, 0);  // the demo library brings the archive
  const VxtoolResult list = Vxtool({"archive", "list", dir.Native("Playing.vpi")});
  ASSERT_EQ(list.code, 0) << list.err;
  EXPECT_EQ(list.out,
            "3\tPlaying_BG1.vxs\t背景:地下室\n"
            "2\tPlaying_Combo.vxt\t\n"
            "1\tPlaying_BG13.vxs\t背景:温馨圣诞\n"
            "0\tPlaying.ini\t\n");

  std::filesystem::create_directories(dir.Path() / "out");
  const VxtoolResult all = Vxtool({"archive", "export", dir.Native("Playing.vpi"), dir.Native("out")});
  ASSERT_EQ(all.code, 0) << all.err;
  EXPECT_EQ(all.out, "");
  // One summary for every row; Playing.ini holds no frames.
  EXPECT_EQ(all.err, "已导出7帧(共4个条目),请到图片目录下查看\n以下条目没有导出任何帧:\nPlaying.ini\n");
  EXPECT_EQ(*ReadWholeFile(dir.Gbk("out/Playing_Combo.vxt4.bmp")),
            DecodeFrame(dir.Gbk("Playing.vpi"), 2, 5, 5)->bmp);
  EXPECT_EQ(ReadWholeFile(dir.Gbk("out/Playing_BG1.vxs0.bmp"))->size(), 665192u);

  // Chosen entries only, in list order; the second export takes the next free numbers.
  const VxtoolResult some = Vxtool(
      {"archive", "export", dir.Native("Playing.vpi"), dir.Native("out"), "--index", "1", "--index", "3"});
  ASSERT_EQ(some.code, 0) << some.err;
  EXPECT_EQ(some.err, "已导出2帧(共2个条目),请到图片目录下查看\n");
  EXPECT_TRUE(FileExists(dir.Gbk("out/Playing_BG1.vxs1.bmp")));
  EXPECT_TRUE(FileExists(dir.Gbk("out/Playing_BG13.vxs1.bmp")));
  EXPECT_FALSE(FileExists(dir.Gbk("out/Playing_Combo.vxt5.bmp")));
}

TEST(VxtoolArchive, BuildsABackgroundAndPrintsItsPath) {
  TempDir dir;
  fixtures::WriteFile(dir.Native("pic.bmp"), fixtures::BuildBmp({}));
  const VxtoolResult first = Vxtool({"archive", "background", dir.Native("pic.bmp"), "--scene", "12"});
  ASSERT_EQ(first.code, 0) << first.err;
  EXPECT_EQ(first.out, dir.Native("Playing1_300.vpi") + "\n");
  EXPECT_EQ(first.err, "生成文件" + dir.Native("Playing1_300.vpi") + "成功~!\n");
  EXPECT_EQ(Vxtool({"archive", "list", dir.Native("Playing1_300.vpi")}).out,
            "0\tPlaying_BG12.vxs\t背景:瑞雪兆丰年\n");
  EXPECT_EQ(Vxtool({"archive", "background", dir.Native("pic.bmp"), "--scene", "1"}).out,
            dir.Native("Playing1_301.vpi") + "\n");

  fixtures::WriteFile(dir.Native("bottom-up.bmp"), fixtures::BuildBmp({.height = 558}));
  const VxtoolResult refused = Vxtool({"archive", "background", dir.Native("bottom-up.bmp"), "--scene", "1"});
  EXPECT_EQ(refused.code, 1);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err.rfind("图片格式出错或文件正在被使用\nvxtool: ", 0), 0u);
  EXPECT_FALSE(FileExists(dir.Gbk("Playing1_302.vpi")));
  EXPECT_EQ(Vxtool({"archive", "background", dir.Native("pic.bmp"), "--scene", "13"}).code, 2);
  EXPECT_EQ(Vxtool({"archive", "background", dir.Native("pic.bmp"), "--scene", "0"}).code, 2);
  EXPECT_EQ(Vxtool({"archive", "background", dir.Native("pic.bmp")}).code, 2);
  EXPECT_FALSE(FileExists(dir.Gbk("Playing1_302.vpi")));
}

TEST(VxtoolArchive, ErrorsSayWhatWentWrong) {
  TempDir dir;
  fixtures::WriteFile(dir.Native("bad.vpi"),
                      fixtures::BuildArchive({.entries = {{.name = "e.vxs"}}, .countField = 99}));
  fixtures::WriteDemoArchive(dir.Native("ok.vpi"));
  const VxtoolResult missing = Vxtool({"archive", "list", dir.Native("none.vpi")});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err.rfind("vxtool: cannot open ", 0), 0u);
  const VxtoolResult damaged = Vxtool({"archive", "list", dir.Native("bad.vpi")});
  EXPECT_EQ(damaged.code, 1);
  EXPECT_EQ(damaged.out, "");
  // The same words the window shows, in Chinese.
  EXPECT_TRUE(damaged.err.ends_with(": 目录项数比文件能装下的多(第4字节)\n")) << damaged.err;
  EXPECT_EQ(Vxtool({"archive", "export", dir.Native("ok.vpi"), dir.Native("nowhere")}).code, 1);
  EXPECT_EQ(Vxtool({"archive", "export", dir.Native("ok.vpi"), dir.Native(), "--index", "4"}).code, 1);
  EXPECT_EQ(Vxtool({"archive", "export", dir.Native("ok.vpi"), dir.Native(), "--index", "x"}).code, 2);
  EXPECT_EQ(Vxtool({"archive", "list"}).code, 2);
  EXPECT_EQ(Vxtool({"archive", "unpack", dir.Native("ok.vpi")}).code, 2);
  EXPECT_EQ(Vxtool({"archive"}).code, 2);
}

}  // namespace
}  // namespace vx
