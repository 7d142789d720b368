// 32-bit RGBA images and their PNG encoding.
#pragma once

#include <cstdint>
#include <vector>

#include "byte_io.h"

namespace qs::mediagen {

struct Rgba {
  std::uint8_t r, g, b, a;
  bool operator==(const Rgba&) const = default;
};

// Top-down grid of pixels, not premultiplied.
struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;
  Rgba at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// Signature, IHDR (8-bit RGBA, not interlaced), one zlib IDAT of unfiltered rows, IEND.
Bytes encodePng(const RgbaImage& image);

}  // namespace qs::mediagen
