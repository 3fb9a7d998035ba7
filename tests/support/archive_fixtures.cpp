#include "tests/support/archive_fixtures.h"

#include <algorithm>
#include <cstring>

#include "core/io/byte_reader.h"
#include "tests/support/fixtures.h"

namespace vx::fixtures {
namespace {

void PutPixel(Bytes& out, std::size_t index, unsigned r, unsigned g, unsigned b) {
  PutU16Le(out.data() + 2 * index, static_cast<std::uint16_t>((r & 31) << 10 | (g & 31) << 5 | (b & 31)));
}

void Append(Bytes& out, const Bytes& more) {
  out.insert(out.end(), more.begin(), more.end());
}
void AppendU32(Bytes& out, std::uint32_t v) {
  std::uint8_t b[4];
  PutU32Le(b, v);
  out.insert(out.end(), b, b + 4);
}
void AppendU16(Bytes& out, std::uint16_t v) {
  std::uint8_t b[2];
  PutU16Le(b, v);
  out.insert(out.end(), b, b + 2);
}

constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kRecordSize = 152;

}  // namespace

Bytes PatternPixels(int width, int height, unsigned seed) {
  Bytes out(2 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (std::size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<std::uint8_t>(i * 7 + i / 251 + seed * 31 + 1);
  return out;
}

Bytes ScenePixels(int width, int height, unsigned seed) {
  Bytes out(2 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const int cx = static_cast<int>((seed * 97 + 40) % static_cast<unsigned>(std::max(width, 1)));
  const int cy = height / 3 + static_cast<int>(seed * 13 % static_cast<unsigned>(std::max(height / 3, 1)));
  const int radius = std::max(4, std::min(width, height) / 6);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const std::size_t i =
          static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
      const int dx = x - cx, dy = y - cy;
      if (dx * dx + dy * dy < radius * radius) {
        PutPixel(out, i, 31, 28, 10 + seed % 8);
      } else if (y < height * 2 / 3) {  // sky
        PutPixel(out, i, 4 + (seed % 5), 8 + 12 * y / height, 20 + 11 * y / height);
      } else {  // ground with stripes
        PutPixel(out, i, 10 + (x / 16 % 2) * 6, 12 + seed % 6, 6);
      }
    }
  }
  return out;
}

Bytes BuildEntry(const EntrySpec& entry, unsigned seed) {
  if (entry.raw) return *entry.raw;
  Bytes out;
  AppendU16(out, 1);
  out.push_back(entry.marks[0]);
  out.push_back(entry.marks[1]);
  AppendU32(out, entry.frameCountField.value_or(static_cast<std::uint32_t>(entry.frames.size())));
  AppendU32(out, 204);
  std::vector<Bytes> pixels;
  std::uint32_t placed = 0;
  for (std::size_t k = 0; k < entry.frames.size(); ++k) {
    const FrameSpec& f = entry.frames[k];
    pixels.push_back(f.pixels.empty() ? PatternPixels(f.width, f.height, seed + static_cast<unsigned>(k))
                                      : f.pixels);
    AppendU16(out, f.width);
    AppendU16(out, f.height);
    AppendU32(out, f.dataOffset.value_or(placed));
    AppendU32(out, f.dataSize.value_or(static_cast<std::uint32_t>(pixels.back().size())));
    AppendU32(out, 0);
    AppendU32(out, 0);
    placed += static_cast<std::uint32_t>(pixels.back().size());
  }
  for (const Bytes& p : pixels) Append(out, p);
  return out;
}

std::vector<std::uint32_t> EntryOffsets(const ArchiveSpec& recipe) {
  std::vector<std::uint32_t> offsets;
  std::size_t pos = kHeaderSize;
  for (std::size_t i = 0; i < recipe.entries.size(); ++i) {
    offsets.push_back(static_cast<std::uint32_t>(pos));
    pos += BuildEntry(recipe.entries[i], static_cast<unsigned>(i * 10)).size();
  }
  return offsets;
}

Bytes BuildArchive(const ArchiveSpec& recipe) {
  Bytes out;
  AppendU32(out, 2);
  AppendU32(out, recipe.countField.value_or(static_cast<std::uint32_t>(recipe.entries.size())));
  AppendU32(out, 0);
  AppendU32(out, 0);
  std::vector<std::pair<std::uint32_t, std::uint32_t>> placed;  // offset, length
  for (std::size_t i = 0; i < recipe.entries.size(); ++i) {
    const Bytes entry = BuildEntry(recipe.entries[i], static_cast<unsigned>(i * 10));
    placed.emplace_back(static_cast<std::uint32_t>(out.size()), static_cast<std::uint32_t>(entry.size()));
    Append(out, entry);
  }
  for (std::size_t i = 0; i < recipe.entries.size(); ++i) {
    const EntrySpec& e = recipe.entries[i];
    Bytes record(kRecordSize, 0);
    PutU32Le(record.data(), 1);
    std::memcpy(record.data() + 4, e.name.data(), std::min<std::size_t>(e.name.size(), 128));
    PutU32Le(record.data() + 132, e.entryOffsetField.value_or(placed[i].first));
    PutU32Le(record.data() + 136, placed[i].second);
    PutU32Le(record.data() + 140, placed[i].second);
    Append(out, record);
  }
  if (recipe.truncateTo && *recipe.truncateTo < out.size()) out.resize(*recipe.truncateTo);
  return out;
}

Bytes BuildBmp(const BmpSpec& recipe) {
  const std::size_t height = static_cast<std::size_t>(recipe.height < 0 ? -recipe.height : recipe.height);
  const std::size_t rowBytes = (static_cast<std::size_t>(recipe.width) * recipe.bitsPerPixel / 8 + 3) / 4 * 4;
  Bytes rows = recipe.pixels;
  if (rows.empty()) {
    rows.resize(rowBytes * height);
    if (recipe.bitsPerPixel == 16) {
      const Bytes p = PatternPixels(recipe.width, static_cast<int>(height), 5);
      const std::size_t rowIn = 2 * static_cast<std::size_t>(recipe.width);
      for (std::size_t r = 0; r < height; ++r)
        std::memcpy(rows.data() + r * rowBytes, p.data() + r * rowIn, rowIn);
    } else {
      for (std::size_t i = 0; i < rows.size(); ++i) rows[i] = static_cast<std::uint8_t>(i * 13);
    }
  }
  Bytes out(54, 0);
  out[0] = 'B';
  out[1] = 'M';
  PutU32Le(&out[2], recipe.sizeField.value_or(static_cast<std::uint32_t>(54 + rows.size() + 2)));
  PutU32Le(&out[10], 54);
  PutU32Le(&out[14], 40);
  PutU32Le(&out[18], static_cast<std::uint32_t>(recipe.width));
  PutU32Le(&out[22], static_cast<std::uint32_t>(recipe.height));
  PutU16Le(&out[26], 1);
  PutU16Le(&out[28], recipe.bitsPerPixel);
  Append(out, rows);
  out.push_back(0);
  out.push_back(0);
  if (recipe.truncateTo && *recipe.truncateTo < out.size()) out.resize(*recipe.truncateTo);
  return out;
}

Bytes BuildDemoArchive() {
  ArchiveSpec recipe;
  recipe.entries.push_back({.name = "Playing_BG1.vxs", .frames = {{596, 558, ScenePixels(596, 558, 1)}}});
  EntrySpec combo{.name = "Playing_Combo.vxt"};
  const std::uint16_t sizes[][2] = {{120, 40}, {121, 41}, {96, 96}, {63, 32}, {200, 60}};
  for (unsigned k = 0; k < std::size(sizes); ++k)
    combo.frames.push_back({sizes[k][0], sizes[k][1], ScenePixels(sizes[k][0], sizes[k][1], 3 + k)});
  recipe.entries.push_back(combo);
  recipe.entries.push_back({.name = "Playing_BG13.vxs", .frames = {{298, 279, ScenePixels(298, 279, 9)}}});
  const std::string ini = "[Playing]\r\nBackground=1\r\nCombo=5\r\n";
  recipe.entries.push_back({.name = "Playing.ini", .raw = Bytes(ini.begin(), ini.end())});
  return BuildArchive(recipe);
}

void WriteDemoArchive(const std::string& nativePath) {
  WriteFile(nativePath, BuildDemoArchive());
}

}  // namespace vx::fixtures
