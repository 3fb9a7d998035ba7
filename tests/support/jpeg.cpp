// A small baseline JPEG encoder (YCbCr 4:4:4, the example Huffman tables), so the fixtures make real
// covers on every platform without a JPEG library.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "fixtures.h"

namespace vx::fixtures {
namespace {

constexpr std::array<std::uint8_t, 64> kZigzag = {
    0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
    41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
    30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

constexpr std::array<std::uint8_t, 64> kLumaQuant = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,  14, 13, 16, 24,  40,  57,
    69, 56, 14, 17, 22,  29,  51,  87,  80, 62, 18, 22, 37,  56,  68,  109, 103, 77, 24, 35,  55,  64,
    81, 104, 113, 92, 49, 64, 78,  87,  103, 121, 120, 101, 72, 92, 95, 98,  112, 100, 103, 99};

struct HuffmanSpec {
  std::array<std::uint8_t, 16> counts;  // codes of each length 1..16
  std::vector<std::uint8_t> symbols;
};

const HuffmanSpec kDcLuma{{0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanSpec kDcChroma{{0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}};
const HuffmanSpec kAcLuma{
    {0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7d},
    {0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07, 0x22, 0x71, 0x14,
     0x32, 0x81, 0x91, 0xa1, 0x08, 0x23, 0x42, 0xb1, 0xc1, 0x15, 0x52, 0xd1, 0xf0, 0x24, 0x33, 0x62, 0x72, 0x82, 0x09,
     0x0a, 0x16, 0x17, 0x18, 0x19, 0x1a, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3a,
     0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64, 0x65,
     0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88,
     0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7, 0xa8, 0xa9,
     0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8, 0xc9, 0xca,
     0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe1, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9, 0xea,
     0xf1, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}};
const HuffmanSpec kAcChroma{
    {0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77},
    {0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71, 0x13, 0x22, 0x32,
     0x81, 0x08, 0x14, 0x42, 0x91, 0xa1, 0xb1, 0xc1, 0x09, 0x23, 0x33, 0x52, 0xf0, 0x15, 0x62, 0x72, 0xd1, 0x0a, 0x16,
     0x24, 0x34, 0xe1, 0x25, 0xf1, 0x17, 0x18, 0x19, 0x1a, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x35, 0x36, 0x37, 0x38, 0x39,
     0x3a, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4a, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5a, 0x63, 0x64,
     0x65, 0x66, 0x67, 0x68, 0x69, 0x6a, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7a, 0x82, 0x83, 0x84, 0x85, 0x86,
     0x87, 0x88, 0x89, 0x8a, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9a, 0xa2, 0xa3, 0xa4, 0xa5, 0xa6, 0xa7,
     0xa8, 0xa9, 0xaa, 0xb2, 0xb3, 0xb4, 0xb5, 0xb6, 0xb7, 0xb8, 0xb9, 0xba, 0xc2, 0xc3, 0xc4, 0xc5, 0xc6, 0xc7, 0xc8,
     0xc9, 0xca, 0xd2, 0xd3, 0xd4, 0xd5, 0xd6, 0xd7, 0xd8, 0xd9, 0xda, 0xe2, 0xe3, 0xe4, 0xe5, 0xe6, 0xe7, 0xe8, 0xe9,
     0xea, 0xf2, 0xf3, 0xf4, 0xf5, 0xf6, 0xf7, 0xf8, 0xf9, 0xfa}};

struct Code {
  std::uint16_t bits = 0;
  std::uint8_t length = 0;
};

// Canonical codes from the counts, as a decoder rebuilds them from the DHT segment.
std::array<Code, 256> BuildCodes(const HuffmanSpec& recipe) {
  std::array<Code, 256> codes{};
  std::uint16_t code = 0;
  std::size_t k = 0;
  for (int length = 1; length <= 16; ++length) {
    for (int i = 0; i < recipe.counts[static_cast<std::size_t>(length - 1)]; ++i)
      codes[recipe.symbols[k++]] = {code++, static_cast<std::uint8_t>(length)};
    code = static_cast<std::uint16_t>(code << 1);
  }
  return codes;
}

class BitWriter {
 public:
  explicit BitWriter(Bytes& out) : m_out(out) {}
  void Put(std::uint32_t bits, int length) {
    for (int i = length - 1; i >= 0; --i) {
      m_byte = static_cast<std::uint8_t>(m_byte << 1 | ((bits >> i) & 1));
      if (++m_count == 8) Flush();
    }
  }
  void Finish() {
    while (m_count != 0) Put(1, 1);  // pad with ones
  }

 private:
  void Flush() {
    m_out.push_back(m_byte);
    if (m_byte == 0xFF) m_out.push_back(0x00);  // byte stuffing
    m_byte = 0;
    m_count = 0;
  }
  Bytes& m_out;
  std::uint8_t m_byte = 0;
  int m_count = 0;
};

void PutU16Be(Bytes& out, std::size_t v) {
  out.push_back(static_cast<std::uint8_t>(v >> 8));
  out.push_back(static_cast<std::uint8_t>(v));
}

void PutHuffmanTable(Bytes& out, std::uint8_t classAndId, const HuffmanSpec& recipe) {
  out.insert(out.end(), {0xFF, 0xC4});
  PutU16Be(out, 2 + 1 + 16 + recipe.symbols.size());
  out.push_back(classAndId);
  out.insert(out.end(), recipe.counts.begin(), recipe.counts.end());
  out.insert(out.end(), recipe.symbols.begin(), recipe.symbols.end());
}

// Magnitude category and the bits that follow it.
std::pair<int, std::uint32_t> Category(int value) {
  int magnitude = value < 0 ? -value : value;
  int size = 0;
  while (magnitude) {
    ++size;
    magnitude >>= 1;
  }
  const std::uint32_t bits = static_cast<std::uint32_t>(value < 0 ? value + (1 << size) - 1 : value);
  return {size, bits};
}

}  // namespace

Bytes MakeJpeg(int width, int height, unsigned seed) {
  constexpr int kQuality = 85;
  std::array<std::array<std::uint8_t, 64>, 2> quant;
  const int scale = kQuality < 50 ? 5000 / kQuality : 200 - 2 * kQuality;
  for (std::size_t i = 0; i < 64; ++i) {
    const int chroma = (i % 8 < 4 && i / 8 < 4) ? std::array<int, 16>{17, 18, 24, 47, 18, 21, 26, 66, 24, 26, 56, 99, 47, 66, 99, 99}[(i / 8) * 4 + i % 8] : 99;
    quant[0][i] = static_cast<std::uint8_t>(std::clamp((kLumaQuant[i] * scale + 50) / 100, 1, 255));
    quant[1][i] = static_cast<std::uint8_t>(std::clamp((chroma * scale + 50) / 100, 1, 255));
  }

  // The picture: a diagonal gradient between hues picked by the seed, with a lighter disc in the middle.
  const double hue = (seed * 47u % 360u) / 360.0 * 6.283185307;
  const double base[3] = {128 + 100 * std::cos(hue), 128 + 100 * std::cos(hue + 2.1), 128 + 100 * std::cos(hue + 4.2)};
  auto pixel = [&](int x, int y, int channel) {
    x = std::min(x, width - 1);
    y = std::min(y, height - 1);
    const double t = (x + y) / static_cast<double>(width + height);
    const double dx = x - width / 2.0, dy = y - height / 2.0;
    const bool disc = dx * dx + dy * dy < (height / 4.0) * (height / 4.0);
    return disc ? 255 - base[channel] / 2 : base[channel] * (0.35 + 0.65 * t);
  };

  Bytes out = {0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
  for (std::uint8_t t = 0; t < 2; ++t) {
    out.insert(out.end(), {0xFF, 0xDB, 0x00, 0x43, t});
    for (std::size_t k = 0; k < 64; ++k) out.push_back(quant[t][kZigzag[k]]);
  }
  out.insert(out.end(), {0xFF, 0xC0, 0x00, 0x11, 0x08});
  PutU16Be(out, static_cast<std::size_t>(height));
  PutU16Be(out, static_cast<std::size_t>(width));
  out.insert(out.end(), {0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01});
  PutHuffmanTable(out, 0x00, kDcLuma);
  PutHuffmanTable(out, 0x10, kAcLuma);
  PutHuffmanTable(out, 0x01, kDcChroma);
  PutHuffmanTable(out, 0x11, kAcChroma);
  out.insert(out.end(), {0xFF, 0xDA, 0x00, 0x0C, 0x03, 0x01, 0x00, 0x02, 0x11, 0x03, 0x11, 0x00, 0x3F, 0x00});

  const std::array<std::array<Code, 256>, 2> dc = {BuildCodes(kDcLuma), BuildCodes(kDcChroma)};
  const std::array<std::array<Code, 256>, 2> ac = {BuildCodes(kAcLuma), BuildCodes(kAcChroma)};
  double cosines[8][8];  // cosines[x][u] of the 8-point DCT
  for (int x = 0; x < 8; ++x)
    for (int u = 0; u < 8; ++u) cosines[x][u] = std::cos((2 * x + 1) * u * std::numbers::pi / 16);
  BitWriter bits(out);
  int previousDc[3] = {0, 0, 0};
  for (int by = 0; by < height; by += 8) {
    for (int bx = 0; bx < width; bx += 8) {
      for (int component = 0; component < 3; ++component) {
        const std::size_t table = component == 0 ? 0 : 1;
        double block[64];
        for (int y = 0; y < 8; ++y) {
          for (int x = 0; x < 8; ++x) {
            const double r = pixel(bx + x, by + y, 0), g = pixel(bx + x, by + y, 1), b = pixel(bx + x, by + y, 2);
            const double value = component == 0   ? 0.299 * r + 0.587 * g + 0.114 * b
                                 : component == 1 ? -0.168736 * r - 0.331264 * g + 0.5 * b + 128
                                                  : 0.5 * r - 0.418688 * g - 0.081312 * b + 128;
            block[y * 8 + x] = value - 128;
          }
        }
        int coefficients[64];
        for (int v = 0; v < 8; ++v) {
          for (int u = 0; u < 8; ++u) {
            double sum = 0;
            for (int y = 0; y < 8; ++y)
              for (int x = 0; x < 8; ++x)
                sum += block[y * 8 + x] * cosines[x][u] * cosines[y][v];
            const double cu = u == 0 ? (1 / std::numbers::sqrt2) : 1, cv = v == 0 ? (1 / std::numbers::sqrt2) : 1;
            coefficients[v * 8 + u] =
                static_cast<int>(std::lround(0.25 * cu * cv * sum / quant[table][static_cast<std::size_t>(v * 8 + u)]));
          }
        }
        const auto [dcSize, dcBits] = Category(coefficients[0] - previousDc[component]);
        previousDc[component] = coefficients[0];
        bits.Put(dc[table][static_cast<std::size_t>(dcSize)].bits, dc[table][static_cast<std::size_t>(dcSize)].length);
        bits.Put(dcBits, dcSize);
        int run = 0;
        for (std::size_t k = 1; k < 64; ++k) {
          const int value = coefficients[kZigzag[k]];
          if (value == 0) {
            ++run;
            continue;
          }
          for (; run > 15; run -= 16) bits.Put(ac[table][0xF0].bits, ac[table][0xF0].length);
          const auto [size, extra] = Category(value);
          const Code code = ac[table][static_cast<std::size_t>(run << 4 | size)];
          bits.Put(code.bits, code.length);
          bits.Put(extra, size);
          run = 0;
        }
        if (run > 0) bits.Put(ac[table][0x00].bits, ac[table][0x00].length);
      }
    }
  }
  bits.Finish();
  out.insert(out.end(), {0xFF, 0xD9});
  return out;
}

}  // namespace vx::fixtures
