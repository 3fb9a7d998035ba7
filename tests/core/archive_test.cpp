#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "core/archive/archive_reader.h"
#include "core/archive/background.h"
#include "core/archive/bmp.h"
#include "core/archive/image_export.h"
#include "core/io/byte_reader.h"
#include "tests/support/archive_fixtures.h"
#include "tests/support/fixtures.h"
#include "tests/support/scripted_interaction.h"
#include "tests/support/temp_dir.h"

namespace vx {
namespace {

using fixtures::ArchiveSpec;
using fixtures::EntrySpec;
using fixtures::FrameSpec;
using fixtures::TempDir;

// Counts the reads, so a test can hold the reader to one read for the directory and one for the rows.
class CountingSource : public MemorySource {
 public:
  using MemorySource::MemorySource;
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const override {
    ++reads;
    return MemorySource::ReadAt(offset, out);
  }
  mutable int reads = 0;
};

std::size_t FilesIn(const TempDir& dir) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(dir.Path()), {}));
}

TEST(ArchiveDirectory, ListsRecordsInFileOrderWithIndexesCountedFromTheEnd) {
  const std::string longName(128, 'n');  // fills the field: no NUL, only 100 bytes are read
  const Bytes file = fixtures::BuildArchive({.entries = {{.name = "Playing_BG1.vxs"},
                                                         {.name = "\xB1\xB3\xBE\xB0.ini", .raw = Bytes{1, 2}},
                                                         {.name = longName}}});
  CountingSource source(file);
  const auto records = ReadDirectory(source);
  ASSERT_TRUE(records) << Utf8FromGbk(ArchiveErrorTextGbk(records.Error()));
  EXPECT_EQ(*records, (std::vector<DirectoryRecord>{
                          {"Playing_BG1.vxs", 2}, {"\xB1\xB3\xBE\xB0.ini", 1}, {std::string(100, 'n'), 0}}));
  EXPECT_EQ(source.reads, 2);  // the count, then the whole directory

  // A count of 0, or one with its top bit set, is an empty directory, not an error.
  for (std::uint32_t count : {0u, 0x80000000u, 0xFFFFFFFFu}) {
    const auto empty = ReadDirectory(
        MemorySource(fixtures::BuildArchive({.entries = {{.name = "a.vxs"}}, .countField = count})));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->empty());
  }
  EXPECT_EQ(ReadDirectory("/nonexistent/x.vpi").Error().kind, ArchiveError::kCannotOpen);
  EXPECT_EQ(ReadLE(Bytes{0x68, 0x26, 0x0A, 0x00}.data(), 4), 665192u);
  EXPECT_EQ(ReadLE(Bytes{0xD2, 0xFD, 0xFF}.data(), 2), 0xFDD2u);
}

TEST(ArchiveDirectory, ImageEntriesAreNamedVxsOrVxtInLowerCase) {
  for (const char* name : {"Playing_BG1.vxs", "a.vxt", "vxs"}) EXPECT_TRUE(IsImageEntryName(name)) << name;
  for (const char* name : {"Playing_BG1.VXS", "a.Vxt", "a.vx", "vxs.ini", ""})
    EXPECT_FALSE(IsImageEntryName(name)) << name;
}

TEST(FrameBmp, A596x558FrameBecomesTheBackgroundSizedBmp) {
  TempDir dir;
  const Bytes pixels = fixtures::PatternPixels(596, 558, 3);
  const Bytes file =
      fixtures::BuildArchive({.entries = {{.name = "small.vxs", .frames = {{2, 2}}},
                                          {.name = "Playing_BG1.vxs", .frames = {{596, 558, pixels}}}}});
  CountingSource source(file);
  const auto frame = DecodeFrame(source, 0, 1, 1);
  ASSERT_TRUE(frame) << Utf8FromGbk(ArchiveErrorTextGbk(frame.Error()));
  EXPECT_EQ(source.reads, 4);  // count, entry offset, entry head, rows
  EXPECT_EQ(frame->width, 596);
  EXPECT_EQ(frame->height, 558);
  ASSERT_EQ(frame->bmp.size(), 665192u);
  const Bytes header(frame->bmp.begin(), frame->bmp.begin() + 54);
  Bytes expected = {'B', 'M', 0x68, 0x26, 0x0A, 0x00, 0, 0,    0,    0,    54,   0, 0, 0,  40,
                    0,   0,   0,    0x54, 0x02, 0,    0, 0xD2, 0xFD, 0xFF, 0xFF, 1, 0, 16, 0};
  expected.resize(54, 0);
  EXPECT_EQ(header, expected);
  EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), frame->bmp.begin() + 54));
  EXPECT_EQ(frame->bmp[665190], 0);
  EXPECT_EQ(frame->bmp[665191], 0);

  // Exported unchanged, it is a picture the background builder accepts.
  fixtures::WriteFile(dir.Native("f.bmp"), frame->bmp);
  EXPECT_TRUE(IsBackgroundBmp(dir.Gbk("f.bmp")));
}

TEST(FrameBmp, OddWidthsGetTwoZeroBytesPerRowAndFramesFindTheirPixels) {
  const Bytes p595 = fixtures::PatternPixels(595, 3, 1), p596 = fixtures::PatternPixels(596, 2, 2);
  const Bytes file = fixtures::BuildArchive(
      {.entries = {{.name = "e.vxt", .frames = {{595, 3, p595}, {596, 2, p596}, {1, 1}}}}});
  const auto odd = DecodeFrame(MemorySource(file), 0, 1, 3);
  ASSERT_TRUE(odd);
  ASSERT_EQ(odd->bmp.size(), 56u + 1192 * 3);
  for (std::size_t row = 0; row < 3; ++row) {
    const auto* out = odd->bmp.data() + 54 + row * 1192;
    EXPECT_TRUE(std::equal(p595.begin() + row * 1190, p595.begin() + (row + 1) * 1190, out)) << row;
    EXPECT_EQ(out[1190], 0);
    EXPECT_EQ(out[1191], 0);
  }
  const auto even = DecodeFrame(MemorySource(file), 0, 2, 3);  // the second frame: data offset past the first
  ASSERT_TRUE(even);
  EXPECT_EQ(Bytes(even->bmp.begin() + 54, even->bmp.end() - 2), p596);
  EXPECT_EQ(ReadLE(MakeBmpHeader(1, 1, 60).data() + 22, 4), 0xFFFFFFFFu);
  EXPECT_EQ(ReadLE(MakeBmpHeader(1, 65535, 60).data() + 22, 4), 0xFFFF0001u);
}

TEST(FrameBmp, DataShortByOneRowAtMostStillGivesExactlyHeightRows) {
  const Bytes pixels = fixtures::PatternPixels(3, 4, 7);
  auto decode = [&](std::uint32_t dataSize) {
    const Bytes file = fixtures::BuildArchive(
        {.entries = {{.name = "e.vxs", .frames = {{3, 4, pixels, std::nullopt, dataSize}}},
                     {.name = "pad", .raw = Bytes(64, 0xEE)}}});
    return DecodeFrame(MemorySource(file), 1, 1, 1);
  };
  // One row short: the last row is zero, not the bytes that follow the frame.
  const auto shortFrame = decode(18);
  ASSERT_TRUE(shortFrame);
  ASSERT_EQ(shortFrame->bmp.size(), FrameBmpSize(3, 4));
  Bytes rows(32, 0);
  for (std::size_t row = 0; row < 3; ++row) std::copy_n(pixels.begin() + 6 * row, 6, rows.begin() + 8 * row);
  EXPECT_EQ(Bytes(shortFrame->bmp.begin() + 54, shortFrame->bmp.end() - 2), rows);
  // A size larger than the rows: the surplus is ignored.
  const auto longFrame = decode(24 + 40);
  ASSERT_TRUE(longFrame);
  EXPECT_EQ(longFrame->bmp.size(), FrameBmpSize(3, 4));
}

TEST(BackgroundPicture, OnlyATopDown596x558SixteenBitBmpWithFillerIsAccepted) {
  TempDir dir;
  auto accepts = [&](const fixtures::BmpSpec& recipe) {
    fixtures::WriteFile(dir.Native("p.bmp"), fixtures::BuildBmp(recipe));
    return IsBackgroundBmp(dir.Gbk("p.bmp"));
  };
  EXPECT_TRUE(accepts({}));
  EXPECT_FALSE(accepts({.height = 558}));                            // bottom-up
  EXPECT_FALSE(accepts({.bitsPerPixel = 24, .sizeField = 665192}));  // 24 bits
  EXPECT_FALSE(accepts({.width = 600, .sizeField = 665192}));        // another size
  EXPECT_FALSE(accepts({.sizeField = 665190}));                      // no room for the filler
  EXPECT_FALSE(accepts({.truncateTo = 53}));
  EXPECT_FALSE(IsBackgroundBmp(dir.Gbk("missing.bmp")));
}

TEST(BackgroundArchive, IsWrittenByteForByte) {
  const Bytes pixels = fixtures::PatternPixels(596, 558, 9);
  const Bytes archive = BackgroundArchiveBytes(pixels, "Playing_BG12.vxs");
  ASSERT_EQ(archive.size(), 665332u);
  Bytes expected(665332, 0);
  auto u32 = [&](std::size_t at, std::uint32_t v) { PutU32Le(&expected[at], v); };
  u32(0, 2), u32(4, 1), u32(16, 0x05550001), u32(20, 1), u32(24, 204);
  u32(28, 596 | 558 << 16), u32(36, 665136);
  std::copy(pixels.begin(), pixels.end(), expected.begin() + 44);
  u32(665180, 1);
  const std::string name = "Playing_BG12.vxs";
  std::copy(name.begin(), name.end(), expected.begin() + 665184);
  u32(665312, 16), u32(665316, 665164), u32(665320, 665164);
  EXPECT_EQ(archive, expected);

  // Read back: one entry at directory index 0, a background of the chosen scene. The readers' rule puts
  // its pixel area four bytes after where the pixels start, so the frame begins two pixels in.
  const auto records = ReadDirectory(MemorySource(archive));
  ASSERT_TRUE(records);
  EXPECT_EQ(*records, (std::vector<DirectoryRecord>{{"Playing_BG12.vxs", 0}}));
  EXPECT_EQ(Utf8FromGbk(EntryTypeTextGbk(records->front().name)), "背景:瑞雪兆丰年");
  const auto frame = DecodeFrame(MemorySource(archive), 0, 1, *ReadFrameCount(MemorySource(archive), 0));
  ASSERT_TRUE(frame);
  EXPECT_TRUE(std::equal(pixels.begin() + 4, pixels.end(), frame->bmp.begin() + 54));
}

TEST(BackgroundScenes, ListOrderEntryNamesAndTypeTexts) {
  std::vector<int> order;
  for (const BackgroundScene& s : BackgroundListOrder()) order.push_back(s.number);
  EXPECT_EQ(order, (std::vector<int>{1, 10, 11, 12, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(BackgroundEntryName(12), "Playing_BG12.vxs");
  EXPECT_EQ(BackgroundEntryName(1), "Playing_BG1.vxs");
  const std::pair<const char*, const char*> types[] = {{"Playing_BG1.vxs", "背景:地下室"},
                                                       {"Playing_BG13.vxs", "背景:温馨圣诞"},
                                                       {"Playing_BGX1.vxs", "背景:"},
                                                       {"Playing1_bg.vxs", ""},
                                                       {"Playing_BG3.vxs", "背景:录音棚"},
                                                       {"Playing_BGB.vxs", "背景:教学"},
                                                       {"xBG", "背景:"},
                                                       {"G1BG", "背景:地下室"},
                                                       {"B", ""},
                                                       {"", ""}};
  for (const auto& [name, type] : types) EXPECT_EQ(Utf8FromGbk(EntryTypeTextGbk(name)), type) << name;
}

TEST(BackgroundBuilder, WritesBesideThePictureUnderTheNextFreeNameAndSaysSo) {
  TempDir dir;
  fixtures::WriteFile(dir.Native("my pic.bmp"), fixtures::BuildBmp({}));
  fixtures::WriteFile(dir.Native("Playing1_300.vpi"), Bytes{1});
  fixtures::WriteFile(dir.Native("Playing1_301.vpi"), Bytes{2});
  fixtures::ScriptedInteraction io;
  io.openFileAnswers.push_back(dir.Gbk("my pic.bmp"));
  const auto built = OnMakeBackground(1, io);
  ASSERT_TRUE(built);
  EXPECT_EQ(built->status, BackgroundBuild::kWritten);
  EXPECT_EQ(built->archivePath, dir.Gbk("Playing1_302.vpi"));
  EXPECT_EQ(io.Messages(), std::vector<std::string>{"生成文件" + dir.Native("Playing1_302.vpi") + "成功~!"});
  EXPECT_EQ(io.Captions(), std::vector<std::string>{"VX歌曲整理器"});
  EXPECT_EQ(io.events[0].request.filters[0].pattern, "*.bmp");
  const auto archive = ReadWholeFile(built->archivePath);
  ASSERT_TRUE(archive);
  const Bytes picture = fixtures::BuildBmp({});
  EXPECT_EQ(*archive,
            BackgroundArchiveBytes(Bytes(picture.begin() + 54, picture.end() - 2), "Playing_BG1.vxs"));
  EXPECT_EQ(*ReadWholeFile(dir.Gbk("Playing1_300.vpi")), Bytes{1});
  EXPECT_FALSE(OnMakeBackground(1, io));                      // cancelled: nothing more said
  EXPECT_EQ(NextArchiveName("pic.bmp"), "Playing1_300.vpi");  // no folder: beside the current one
}

TEST(BackgroundBuilder, RefusesPicturesAndNeverOverwrites) {
  TempDir dir;
  auto make = [&](const Bytes& picture) {
    fixtures::WriteFile(dir.Native("p.bmp"), picture);
    fixtures::ScriptedInteraction io;
    const auto status = MakeBackground(dir.Gbk("p.bmp"), 5, io).status;
    return std::make_pair(status, io.Messages());
  };
  const std::vector<std::string> refused = {"图片格式出错或文件正在被使用"};
  // A header that passes but a file too short for the pixels: refused, nothing made up.
  EXPECT_EQ(make(fixtures::BuildBmp({.truncateTo = 54 + 665135})),
            std::make_pair(BackgroundBuild::kBadPicture, refused));
  EXPECT_EQ(make(fixtures::BuildBmp({.height = 558})), std::make_pair(BackgroundBuild::kBadPicture, refused));
  fixtures::ScriptedInteraction io;
  EXPECT_EQ(MakeBackground(dir.Gbk("missing.bmp"), 5, io).status, BackgroundBuild::kCannotRead);
  EXPECT_EQ(io.Messages(), refused);
  EXPECT_EQ(FilesIn(dir), 1u);

  // The pixels only need to be there; the two filler bytes may be missing.
  EXPECT_EQ(make(fixtures::BuildBmp({.truncateTo = 54 + 665136})).first, BackgroundBuild::kWritten);
  for (int n = 301; n < 450; ++n)
    fixtures::WriteFile(dir.Native("Playing1_" + std::to_string(n) + ".vpi"), Bytes{9});
  const auto full = make(fixtures::BuildBmp({}));
  EXPECT_EQ(full.first, BackgroundBuild::kNoFreeName);
  EXPECT_EQ(full.second.size(), 1u);
  EXPECT_NE(full.second[0], refused[0]);
  EXPECT_EQ(ReadWholeFile(dir.Gbk("Playing1_300.vpi"))->size(), 665332u);
  EXPECT_EQ(*ReadWholeFile(dir.Gbk("Playing1_449.vpi")), Bytes{9});
}

struct ExportFixture {
  TempDir dir;
  std::string archive = dir.Gbk("a.vpi");
  std::string images = dir.Gbk("images");
  ExportFixture(const ArchiveSpec& recipe) {
    fixtures::WriteFile(dir.Native("a.vpi"), fixtures::BuildArchive(recipe));
    std::filesystem::create_directories(dir.Path() / "images");
  }
  std::vector<EntryRow> Rows() const {
    std::vector<EntryRow> rows;
    for (const auto& r : *ReadDirectory(archive)) rows.push_back({r.name, r.directoryIndex});
    return rows;
  }
};

TEST(ImageExport, EveryFrameOfEachSelectedRowAndOneSummary) {
  ExportFixture f({.entries = {{.name = "three.vxt", .frames = {{2, 2}, {3, 1}, {4, 4}}},
                               {.name = "other.dat", .raw = Bytes{1, 2, 3}},
                               {.name = "one.vxs", .frames = {{5, 5}}},
                               {.name = "one.VXS", .frames = {{5, 5}}}}});
  fixtures::WriteFile(f.dir.Native("images/three.vxt1.bmp"), Bytes{7});
  // A dangling link takes its name too: nothing is written through it. (Windows may not allow the link.)
  std::error_code noLinks;
  std::filesystem::create_symlink(f.dir.Path() / "elsewhere.bmp", f.dir.Path() / "images" / "one.vxs0.bmp",
                                  noLinks);
  fixtures::ScriptedInteraction io;
  const auto rows = f.Rows();
  const ExportReport report = ExportImages(f.archive, f.images, rows, io);
  EXPECT_EQ(report.filesWritten, 4);  // three.vxt's three frames and one.vxs; not one.VXS
  // One box, naming the entries that wrote nothing: other.dat has no frames, one.VXS found its names taken
  // by one.vxs, which is no failure.
  EXPECT_EQ(io.Messages(), std::vector<std::string>{"已导出4帧(共4个条目),请到图片目录下查看\n"
                                                    "以下条目没有导出任何帧:\nother.dat\none.VXS"});
  EXPECT_EQ(io.Captions(), std::vector<std::string>{"WX歌曲整理器"});
  // Frames take the free numbers in turn; the file that was there stays as it was.
  EXPECT_EQ(*ReadWholeFile(f.images + "/three.vxt0.bmp"), DecodeFrame(f.archive, 3, 1, 3)->bmp);
  EXPECT_EQ(*ReadWholeFile(f.images + "/three.vxt1.bmp"), Bytes{7});
  EXPECT_EQ(*ReadWholeFile(f.images + "/three.vxt2.bmp"), DecodeFrame(f.archive, 3, 2, 3)->bmp);
  EXPECT_EQ(*ReadWholeFile(f.images + "/three.vxt3.bmp"), DecodeFrame(f.archive, 3, 3, 3)->bmp);
  EXPECT_TRUE(FileExists(f.images + (noLinks ? "/one.vxs0.bmp" : "/one.vxs1.bmp")));
  EXPECT_FALSE(FileExists(f.dir.Gbk("elsewhere.bmp")));

  fixtures::ScriptedInteraction noFolder;
  ExportImages(f.archive, "", rows, noFolder);
  EXPECT_EQ(noFolder.Messages(), std::vector<std::string>{"请检查图片目录设置"});
  fixtures::ScriptedInteraction noArchive;
  EXPECT_EQ(ExportImages(f.dir.Gbk("gone.vpi"), f.images, rows, noArchive).rowsFailed, 4);
  ASSERT_EQ(noArchive.Messages().size(), 1u);
  EXPECT_NE(
      noArchive.Messages()[0].find("\nthree.vxt没有全部导出:\n文件打不开(不存在、不是普通文件或没有权限)"),
      std::string::npos);
  fixtures::ScriptedInteraction cannotWrite;
  EXPECT_EQ(ExportImages(f.archive, f.dir.Gbk("no such folder"), rows, cannotWrite).rowsFailed, 2);
  ASSERT_EQ(cannotWrite.Messages().size(), 1u);
  EXPECT_TRUE(cannotWrite.Messages()[0].starts_with("已导出0帧(共4个条目)")) << cannotWrite.Messages()[0];
  EXPECT_NE(cannotWrite.Messages()[0].find("\n无法写入图片文件:"), std::string::npos);
  // A single entry keeps its own word.
  fixtures::ScriptedInteraction single;
  ExportImages(f.archive, f.images, std::span(rows).first(1), single);
  EXPECT_EQ(single.Messages(), std::vector<std::string>{"完成^_^,请到图片目录下查看"});
}

TEST(ImageExport, EntryNamesNeverChooseAFolderAndUsedUpNamesAreNotReused) {
  ExportFixture f({.entries = {{.name = "../..\\up/x:.vxs", .frames = {{2, 2}}}}});
  EXPECT_EQ(NextExportName(f.images, "../..\\up/x:.vxs"), JoinPath(f.images, "....upx.vxs0.bmp"));
  for (int n = 0; n < 200; ++n)
    fixtures::WriteFile(f.dir.Native("images/....upx.vxs" + std::to_string(n) + ".bmp"), Bytes{});
  EXPECT_FALSE(NextExportName(f.images, "../..\\up/x:.vxs"));
  fixtures::ScriptedInteraction io;
  const ExportReport report = ExportImages(f.archive, f.images, f.Rows(), io);
  EXPECT_EQ(report.filesWritten, 0);
  EXPECT_EQ(io.Messages(),
            std::vector<std::string>{
                "导出文件名已用完(编号0到199的文件都已存在),没有覆盖任何文件:../..\\up/x:.vxs"});
  EXPECT_EQ(ReadWholeFile(f.images + "/....upx.vxs199.bmp")->size(), 0u);
  EXPECT_EQ(FilesIn(f.dir), 2u);  // the archive and the image folder: nothing was written outside it
}

// Damaged archives: each row names what is wrong, the first error the reader must give, and checks that
// exporting the archive writes nothing.
struct Damaged {
  const char* name;
  std::function<Bytes()> build;
  ArchiveError::Kind expected;
};

ArchiveSpec OneFrame(FrameSpec frame, std::optional<std::uint32_t> frameCount = std::nullopt) {
  return {.entries = {{.name = "e.vxs", .frames = {frame}, .frameCountField = frameCount}}};
}
Bytes WithEntryOffset(std::function<std::uint32_t(std::size_t fileSize)> offset) {
  ArchiveSpec recipe = OneFrame({4, 4});
  recipe.entries[0].entryOffsetField = offset(fixtures::BuildArchive(recipe).size());
  return fixtures::BuildArchive(recipe);
}

class DamagedArchive : public testing::TestWithParam<Damaged> {};

TEST_P(DamagedArchive, GivesItsErrorAndExportsNothing) {
  const Bytes file = GetParam().build();
  MemorySource source(file);
  std::optional<ArchiveError> error;
  if (auto records = ReadDirectory(source); !records) {
    error = records.Error();
  } else if (auto count = ReadFrameCount(source, 0); !count) {
    error = count.Error();
  } else if (auto frame = DecodeFrame(source, 0, 1, *count); !frame) {
    error = frame.Error();
  }
  ASSERT_TRUE(error) << "read without error";
  EXPECT_EQ(error->kind, GetParam().expected) << Utf8FromGbk(ArchiveErrorTextGbk(*error));
  EXPECT_LE(error->offset, file.size());

  TempDir dir;
  fixtures::WriteFile(dir.Native("a.vpi"), file);
  std::filesystem::create_directories(dir.Path() / "out");
  fixtures::ScriptedInteraction io;
  const EntryRow rows[] = {{"e.vxs", 0}, {"e.vxs", 1}, {"e.vxs", -1}};
  const ExportReport report = ExportImages(dir.Gbk("a.vpi"), dir.Gbk("out"), rows, io);
  EXPECT_EQ(report.filesWritten, 0);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path() / "out"));
  // Each row failed, and the summary says what the reader found.
  EXPECT_EQ(report.rowsFailed, 3);
  ASSERT_EQ(io.Messages().size(), 1u);
  EXPECT_NE(io.Messages()[0].find("\ne.vxs没有全部导出:\n"), std::string::npos);
  EXPECT_NE(io.Messages()[0].find(Utf8FromGbk(ArchiveErrorTextGbk(*error))), std::string::npos)
      << io.Messages()[0];
}

INSTANTIATE_TEST_SUITE_P(
    Archives, DamagedArchive,
    testing::Values(
        Damaged{"ShorterThanTheCountField", [] { return Bytes{2, 0, 0, 0, 1, 0}; }, ArchiveError::kTruncated},
        Damaged{"CountLargerThanTheFile",
                [] { return fixtures::BuildArchive({.entries = {{.name = "e.vxs"}}, .countField = 1000}); },
                ArchiveError::kCountPastEnd},
        Damaged{"CountThatWouldOverlapTheHeader",  // 2 x 152 bytes fit in the file, but not behind the header
                [] {
                  return fixtures::BuildArchive(
                      {.entries = {{.name = "e.vxs", .raw = Bytes(136, 0)}}, .countField = 2});
                },
                ArchiveError::kCountPastEnd},
        Damaged{"EntryOffsetFarPastTheEnd",
                [] { return WithEntryOffset([](std::size_t) { return 0xFFFFFFF0u; }); },
                ArchiveError::kEntryPastEnd},
        Damaged{"EntryOffsetInTheLastBytes",
                [] {
                  return WithEntryOffset(
                      [](std::size_t size) { return static_cast<std::uint32_t>(size - 3); });
                },
                ArchiveError::kEntryPastEnd},
        Damaged{"FrameRecordRunsPastTheEnd",
                [] {
                  return WithEntryOffset(
                      [](std::size_t size) { return static_cast<std::uint32_t>(size - 16); });
                },
                ArchiveError::kFrameRecordPastEnd},
        Damaged{"WrongMarkBytes",
                [] {
                  ArchiveSpec recipe = OneFrame({4, 4});
                  recipe.entries[0].marks[1] = 0x06;
                  return fixtures::BuildArchive(recipe);
                },
                ArchiveError::kBadMark},
        Damaged{"FrameCountZero",
                [] {
                  return fixtures::BuildArchive(OneFrame({4, 4}, 0));
                },
                ArchiveError::kNoSuchFrame},
        Damaged{"DataSizeAboveTheLimit",
                [] {
                  return fixtures::BuildArchive(OneFrame({4, 4, {}, 0, 0x1000000}));
                },
                ArchiveError::kFrameTooLarge},
        Damaged{"DimensionsNoArchiveCouldHold",
                [] {
                  return fixtures::BuildArchive(OneFrame({65535, 65535, Bytes(8, 1)}));
                },
                ArchiveError::kFrameTooLarge},
        Damaged{"WidthZero",
                [] {
                  return fixtures::BuildArchive(OneFrame({0, 4, Bytes(8, 1)}));
                },
                ArchiveError::kEmptyFrame},
        Damaged{"HeightZero",
                [] {
                  return fixtures::BuildArchive(OneFrame({4, 0, Bytes(8, 1)}));
                },
                ArchiveError::kEmptyFrame},
        Damaged{"DataOffsetPastTheEnd",
                [] {
                  return fixtures::BuildArchive(OneFrame({4, 4, {}, 0x7FFFFFF0}));
                },
                ArchiveError::kPixelsPastEnd},
        Damaged{"DataShortByMoreThanOneRow",
                [] {
                  return fixtures::BuildArchive(OneFrame({4, 4, {}, 0, 32 - 9}));
                },
                ArchiveError::kFrameDataShort},
        Damaged{"NoDataAtAll",
                [] {
                  return fixtures::BuildArchive(OneFrame({4, 4, {}, 0, 0}));
                },
                ArchiveError::kFrameDataShort},
        Damaged{"DataRunsPastTheEnd",
                [] {
                  return fixtures::BuildArchive(OneFrame({4, 4, {}, 0, 32 + 200}));
                },
                ArchiveError::kPixelsPastEnd},
        Damaged{"FrameCountPlacesPixelsPastTheEnd",
                [] {
                  return fixtures::BuildArchive(OneFrame({4, 4}, 255));
                },
                ArchiveError::kPixelsPastEnd}),
    [](const testing::TestParamInfo<Damaged>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vx
