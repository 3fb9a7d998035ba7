#pragma once
// Builders for the files the program reads: chart files, REC.re, JPEG covers, whole demo libraries. Tests,
// benchmarks and `vxtool demo` all make their data here, from field values, so a test reads as what it
// means.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/file_io.h"
#include "core/library/song_table.h"

namespace vx::fixtures {

struct ChartSpec {
  float bpm = 120.0f;
  std::uint16_t easy = 1;
  std::uint16_t normal = 5;
  std::uint16_t hard = 9;
  std::string title = "Song";   // GBK; up to 32 bytes fill the field with no terminator
  std::string noter = "noter";  // GBK
  std::uint16_t playTime = 125;
  std::size_t noteDataSize = 64;  // bytes between the header and the cover, patterned
  Bytes cover;                    // placed at coverOffset; empty means no cover
  Bytes afterCover;               // bytes that follow the cover
  // Overrides for damaged charts; by default the fields describe the cover as placed.
  std::optional<std::uint32_t> coverSize;
  std::optional<std::uint32_t> coverOffset;
  std::optional<std::size_t> truncateTo;  // cut the finished file to this many bytes
};

// The whole chart file. Header bytes the program does not interpret hold a pattern, so a test can see
// that they survive a rewrite.
Bytes BuildChart(const ChartSpec& recipe);

// The 2-byte tempo prefix of a float as stored at 0x12 (low, high).
std::pair<std::uint8_t, std::uint8_t> BpmBytes(float bpm);

// REC.re with the three folders (GBK), 769 bytes.
Bytes BuildSettingsFile(std::string_view music, std::string_view move = {}, std::string_view image = {});

// A real baseline JPEG of the given size: a gradient with a hue chosen by `seed`.
Bytes MakeJpeg(int width, int height, unsigned seed);

// A fake cover: starts with 0xFF and has 0xFF as its second-to-last byte, as the marker test wants.
Bytes FakeCover(std::size_t size, std::uint8_t fill = 0x11);

// Writes bytes to a file named by a UTF-8 path, creating folders as needed (aborts the test run on failure).
void WriteFile(const std::string& utf8Path, const Bytes& bytes);

// Writes vxma<id>.vxn (and vxma<id>.vxm unless `withMusic` is false) into a folder (UTF-8 path).
void WriteSong(const std::string& utf8Folder, int id, const ChartSpec& recipe, bool withMusic = true);

// A demo library: DIR/MUSIC with `songs` songs (real JPEG covers, Chinese and ASCII titles, varied levels,
// tempos and times, a few without music files), DIR/moved, DIR/images, DIR/REC.re naming the three, and the
// image archive DIR/Playing.vpi (archive_fixtures.h).
// Returns the IDs written, ascending.
std::vector<int> BuildDemoLibrary(const std::string& utf8Dir, int songs, bool realCovers = true);

// The naive scan: ask for each of the 5000 names in turn and read each field
// with a separate read. Reference for tests and benchmarks.
std::vector<SongRow> ProbeScan(std::string_view gbkMusicDir);

}  // namespace vx::fixtures
