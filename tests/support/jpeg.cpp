// Real JPEG covers for the fixtures, encoded by stb_image_write: a small, widely used encoder that builds
// the same on every platform, so the demo library is the same bytes everywhere.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/support/fixtures.h"

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STBI_WRITE_NO_STDIO
#include <stb_image_write.h>

namespace vx::fixtures {

Bytes MakeJpeg(int width, int height, unsigned seed) {
  constexpr int kQuality = 85;
  // The picture: a diagonal gradient between hues picked by the seed, with a lighter disc in the middle.
  const double hue = (seed * 47u % 360u) / 360.0 * 6.283185307;
  const double base[3] = {128 + 100 * std::cos(hue), 128 + 100 * std::cos(hue + 2.1),
                          128 + 100 * std::cos(hue + 4.2)};
  std::vector<std::uint8_t> rgb(3 * static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const double t = (x + y) / static_cast<double>(width + height);
      const double dx = x - width / 2.0, dy = y - height / 2.0;
      const bool disc = dx * dx + dy * dy < (height / 4.0) * (height / 4.0);
      for (int c = 0; c < 3; ++c) {
        const double value = disc ? 255 - base[c] / 2 : base[c] * (0.35 + 0.65 * t);
        rgb[3 * (static_cast<std::size_t>(y) * width + x) + c] =
            static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
      }
    }
  }
  Bytes out;
  const auto append = [](void* context, void* data, int size) {
    auto* bytes = static_cast<const std::uint8_t*>(data);
    static_cast<Bytes*>(context)->insert(static_cast<Bytes*>(context)->end(), bytes, bytes + size);
  };
  if (!stbi_write_jpg_to_func(append, &out, width, height, 3, rgb.data(), kQuality)) {
    std::fprintf(stderr, "fixtures: cannot encode a %dx%d JPEG\n", width, height);
    std::abort();
  }
  return out;
}

}  // namespace vx::fixtures
