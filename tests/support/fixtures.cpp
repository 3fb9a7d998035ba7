#include "tests/support/fixtures.h"

#include <fcntl.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/formats/chart_header.h"
#include "core/io/byte_reader.h"
#include "core/library/scan.h"
#include "core/settings/settings_file.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"
#include "tests/support/archive_fixtures.h"

namespace vx::fixtures {

std::pair<std::uint8_t, std::uint8_t> BpmBytes(float bpm) {
  const auto bits = std::bit_cast<std::uint32_t>(bpm);
  return {static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

Bytes BuildChart(const ChartSpec& recipe) {
  using namespace chart_offset;
  const std::size_t coverOffset = kChartHeaderSize + recipe.noteDataSize;
  Bytes file(coverOffset + recipe.cover.size() + recipe.afterCover.size());
  for (std::size_t i = 0; i < coverOffset; ++i) file[i] = static_cast<std::uint8_t>(i * 7 + 3);
  // Zero the interpreted fields before filling them, so text fields end where the recipe says they do.
  std::memset(&file[kTitle], 0, kTextFieldSize);
  std::memset(&file[kNoter], 0, kTextFieldSize);
  PutU32Le(&file[0x10], std::bit_cast<std::uint32_t>(recipe.bpm));
  PutU16Le(&file[kLevelEasy], recipe.easy);
  PutU16Le(&file[kLevelNormal], recipe.normal);
  PutU16Le(&file[kLevelHard], recipe.hard);
  std::memcpy(&file[kTitle], recipe.title.data(), std::min(recipe.title.size(), kTextFieldSize));
  std::memcpy(&file[kNoter], recipe.noter.data(), std::min(recipe.noter.size(), kTextFieldSize));
  PutU32Le(&file[kCoverSize], recipe.coverSize.value_or(static_cast<std::uint32_t>(recipe.cover.size())));
  PutU16Le(&file[kPlayTime], recipe.playTime);
  PutU32Le(&file[kCoverOffset], recipe.coverOffset.value_or(static_cast<std::uint32_t>(coverOffset)));
  std::copy(recipe.cover.begin(), recipe.cover.end(),
            file.begin() + static_cast<std::ptrdiff_t>(coverOffset));
  std::copy(recipe.afterCover.begin(), recipe.afterCover.end(),
            file.begin() + static_cast<std::ptrdiff_t>(coverOffset + recipe.cover.size()));
  if (recipe.truncateTo && *recipe.truncateTo < file.size()) file.resize(*recipe.truncateTo);
  return file;
}

Bytes BuildSettingsFile(std::string_view music, std::string_view move, std::string_view image) {
  Bytes file(kSettingsFileSize, 0);
  const std::string_view slots[] = {music, move, image};
  for (std::size_t s = 0; s < 3; ++s) {
    const std::size_t n = std::min(slots[s].size(), kMaxFolderBytes);
    file[s * kSettingsSlotSize] = static_cast<std::uint8_t>(n);
    std::copy_n(slots[s].begin(), n, file.begin() + static_cast<std::ptrdiff_t>(s * kSettingsSlotSize + 1));
  }
  return file;
}

Bytes FakeCover(std::size_t size, std::uint8_t fill) {
  Bytes cover(size, fill);
  if (size >= 1) cover[0] = 0xFF;
  if (size >= 2) cover[size - 2] = 0xFF;
  if (size >= 2) cover[size - 1] = 0xD9;
  if (size >= 3) cover[1] = 0xD8;
  return cover;
}

void WriteFile(const std::string& utf8Path, const Bytes& bytes) {
  const std::filesystem::path path = PathFromUtf8(utf8Path);
  if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) {
    std::fprintf(stderr, "fixtures: cannot write %s\n", utf8Path.c_str());
    std::abort();
  }
}

void WriteSong(const std::string& utf8Folder, int id, const ChartSpec& recipe, bool withMusic) {
  const std::string folder = utf8Folder + "/";
  WriteFile(folder + ChartFileName(id), BuildChart(recipe));
  if (withMusic) WriteFile(folder + MusicFileName(id), Bytes(32, static_cast<std::uint8_t>(id)));
}

namespace {

// Titles in UTF-8; stored as GBK. Chinese and ASCII, some long, one with characters a file name cannot
// carry, so the demo exercises the filters.
constexpr const char* kTitles[] = {
    "星之海",         "Summer Breeze", "夏日祭",     "Night Drive",    "雨后彩虹",   "光与影",
    "Starlight",      "樱花飞舞",      "Go Go Go!",  "青空のメロディ", "月光奏鸣曲", "电子脉冲",
    "Moonwalk",       "追梦人",        "Fire:Ice",   "红莲之弓矢",     "Blue Sky",   "深海少女",
    "Neon<Lights>",   "千本樱",        "Tokyo Rain", "白色相簿",       "Ride On",    "龙卷风",
    "Galaxy Express", "春风十里",      "Pulse",      "天空之城",       "Hero",       "流星雨",
};
constexpr const char* kNoters[] = {"小明", "Ayu", "阿杰", "KOTO", "青鸟", "Max", "雪乃", "Ren"};
constexpr float kTempos[] = {96.0f,  120.0f, 128.0f, 140.0f, 150.0f, 160.5f,
                             174.0f, 180.0f, 200.0f, 240.0f, 63.75f, 88.5f};

}  // namespace

std::vector<int> BuildDemoLibrary(const std::string& utf8Dir, int songs, bool realCovers) {
  const std::filesystem::path dir = PathFromUtf8(utf8Dir);
  const std::filesystem::path music = dir / "MUSIC";
  std::filesystem::create_directories(music);
  std::filesystem::create_directories(dir / "moved");
  std::filesystem::create_directories(dir / "images");

  std::vector<int> ids;
  for (int i = 0; i < songs && i < kMaxSongs; ++i) {
    // Spread the IDs over the range with gaps, as a real folder has them.
    const int id = songs <= kMaxSongs / 4 ? 1 + i * 3 + (i % 5 == 0 ? 1 : 0) : i;
    ChartSpec recipe;
    const std::size_t titles = std::size(kTitles);
    std::string title = kTitles[static_cast<std::size_t>(i) % titles];
    if (static_cast<std::size_t>(i) >= titles)
      title += " " + std::to_string(i / static_cast<int>(titles) + 1);
    recipe.title = Gbk(title);
    recipe.noter = Gbk(kNoters[static_cast<std::size_t>(i) % std::size(kNoters)]);
    recipe.bpm = kTempos[static_cast<std::size_t>(i * 5) % std::size(kTempos)];
    recipe.easy = static_cast<std::uint16_t>(1 + i % 5);
    recipe.normal = static_cast<std::uint16_t>(4 + (i * 3) % 7);
    recipe.hard = static_cast<std::uint16_t>(8 + (i * 7) % 13);
    recipe.playTime = static_cast<std::uint16_t>(85 + (i * 37) % 200);
    recipe.noteDataSize = 256 + static_cast<std::size_t>(i % 7) * 40;
    recipe.cover = realCovers ? MakeJpeg(240, 180, static_cast<unsigned>(i)) : FakeCover(512);
    WriteSong(Utf8FromPath(music), id, recipe, /*withMusic=*/i % 11 != 7);
    ids.push_back(id);
  }
  WriteDemoArchive((dir / "Playing.vpi").string());  // for the archive browser
  const std::string base = GbkPath(dir);
  WriteFile(Utf8FromPath(dir / "REC.re"),
            BuildSettingsFile(JoinPath(base, "MUSIC"), JoinPath(base, "moved"), JoinPath(base, "images")));
  return ids;
}

std::vector<SongRow> ProbeScan(std::string_view gbkMusicDir) {
  using namespace chart_offset;
  std::vector<SongRow> rows;
  for (int id = 0; id < kMaxSongs; ++id) {
    const auto path = NativePath(ChartPath(gbkMusicDir, id));
#ifdef _WIN32
    const int fd = ::_wopen(path.c_str(), _O_RDONLY | _O_BINARY);
#else
    const int fd = ::open(path.c_str(), O_RDONLY);
#endif
    if (fd < 0) continue;
    // Field by field, each its own seek and read, as a plain reading of the header does it.
    std::uint8_t header[kChartHeaderSize] = {};
    auto readAt = [&](std::size_t offset, unsigned size) {
#ifdef _WIN32
      if (::_lseek(fd, static_cast<long>(offset), SEEK_SET) < 0) return -1;
      return ::_read(fd, header + offset, size);
#else
      return static_cast<int>(::pread(fd, header + offset, size, static_cast<off_t>(offset)));
#endif
    };
    const bool readable = readAt(kTitle, kTextFieldSize) >= 0;
    readAt(kNoter, kTextFieldSize);
    readAt(kLevelEasy, 2);
    readAt(kLevelNormal, 2);
    readAt(kLevelHard, 2);
    readAt(kBpmHigh, 2);
    readAt(kPlayTime, 2);
#ifdef _WIN32
    ::_close(fd);
#else
    ::close(fd);
#endif
    if (!readable) continue;  // a folder of that name
    rows.push_back(MakeSongRow(id, ParseChartHeader(header)));
  }
  return rows;
}

}  // namespace vx::fixtures
