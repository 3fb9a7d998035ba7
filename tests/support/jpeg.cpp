// Real JPEG covers through libjpeg, so the cover preview decodes what a player's charts carry.
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "fixtures.h"

namespace vx::fixtures {

Bytes MakeJpeg(int width, int height, unsigned seed) {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 85, TRUE);
  jpeg_start_compress(&cinfo, TRUE);

  // A diagonal gradient between two hues picked by the seed, with a disc in the middle.
  const double hue = (seed * 47u % 360u) / 360.0 * 6.283185307;
  const int r0 = static_cast<int>(128 + 100 * std::cos(hue)), g0 = static_cast<int>(128 + 100 * std::cos(hue + 2.1)),
            b0 = static_cast<int>(128 + 100 * std::cos(hue + 4.2));
  std::vector<unsigned char> row(static_cast<std::size_t>(width) * 3);
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      const double t = (x + y) / static_cast<double>(width + height);
      const double dx = x - width / 2.0, dy = y - height / 2.0;
      const bool disc = dx * dx + dy * dy < (height / 4.0) * (height / 4.0);
      const double shade = disc ? 1.0 : 0.35 + 0.65 * t;
      row[static_cast<std::size_t>(x) * 3 + 0] = static_cast<unsigned char>(disc ? 255 - r0 / 2 : r0 * shade);
      row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<unsigned char>(disc ? 255 - g0 / 2 : g0 * shade);
      row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<unsigned char>(disc ? 255 - b0 / 2 : b0 * shade);
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  Bytes jpeg(buffer, buffer + size);
  std::free(buffer);
  return jpeg;
}

}  // namespace vx::fixtures
