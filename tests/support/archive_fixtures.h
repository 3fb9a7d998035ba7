#pragma once
// Builders for game image archives and 16-bit BMP pictures, from field values. Every field the reader
// trusts can be overridden, so a damaged archive is described by what is wrong with it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/io/file_io.h"

namespace vx::fixtures {

// X1R5G5B5 pixels, top row first, unpadded: a pattern in which neighbouring pixels and rows differ, so a
// row that slips or a byte that moves shows.
Bytes PatternPixels(int width, int height, unsigned seed);

// A picture to look at: a sky-to-ground gradient with a bright disc whose place depends on `seed`.
Bytes ScenePixels(int width, int height, unsigned seed);

struct FrameSpec {
  std::uint16_t width = 4;
  std::uint16_t height = 3;
  Bytes pixels;  // empty: PatternPixels(width, height, seed of the frame), 2 x width x height bytes
  std::optional<std::uint32_t> dataOffset;  // default: where the builder puts the pixels
  std::optional<std::uint32_t> dataSize;    // default: pixels.size()
};

struct EntrySpec {
  std::string name;  // GBK
  // An image entry (12-byte header, one 20-byte record per frame, the pixel area) unless `raw` is set;
  // the layout does not depend on the name, so a misnamed image entry can be built too.
  std::vector<FrameSpec> frames;
  std::optional<Bytes> raw;  // the entry's bytes as they are
  std::uint8_t marks[2] = {0x55, 0x05};
  std::optional<std::uint32_t> frameCountField;   // default: frames.size()
  std::optional<std::uint32_t> entryOffsetField;  // the directory's offset for this entry
};

struct ArchiveSpec {
  std::vector<EntrySpec> entries;           // in file order: the first gets directory index N-1, the last 0
  std::optional<std::uint32_t> countField;  // default: entries.size()
  std::optional<std::size_t> truncateTo;    // cut the finished file to this many bytes
};

// The entry's bytes alone, as they stand in the archive.
Bytes BuildEntry(const EntrySpec& entry, unsigned seed = 0);
Bytes BuildArchive(const ArchiveSpec& recipe);
// Where the builder put each entry (absolute offsets, in file order).
std::vector<std::uint32_t> EntryOffsets(const ArchiveSpec& recipe);

struct BmpSpec {
  int width = 596;
  int height = -558;  // negative: rows stored top row first
  std::uint16_t bitsPerPixel = 16;
  Bytes pixels;                            // empty: rows of PatternPixels (16 bits) or a byte pattern
  std::optional<std::uint32_t> sizeField;  // default: header + rows + 2 filler bytes, as frame BMPs have
  std::optional<std::size_t> truncateTo;
};

// A BMP file: 54-byte header, rows padded to 4 bytes, two filler bytes. The default is a picture that the
// background builder accepts.
Bytes BuildBmp(const BmpSpec& recipe);

// The demo's Playing.vpi: Playing_BG1.vxs (one 596 x 558 background), Playing_Combo.vxt (five frames
// of other sizes, odd widths among them), Playing_BG13.vxs (a small background) and Playing.ini (not an
// image).
Bytes BuildDemoArchive();
void WriteDemoArchive(const std::string& nativePath);

}  // namespace vx::fixtures
