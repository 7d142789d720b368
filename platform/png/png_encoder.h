// PNG files from 8-bit RGB or RGBA pixels.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace qs::png {

using Bytes = std::vector<std::uint8_t>;

// Rows top down, each `width * channels` bytes with nothing between them:
// 3 channels are RGB, 4 are RGBA (not premultiplied).
struct Pixels {
  int width = 0;
  int height = 0;
  int channels = 4;
  std::span<const std::uint8_t> bytes;
};

// zlib's levels: the smallest file, or a quick one.
inline constexpr int kSmallest = 9;
inline constexpr int kQuick = 1;

// Signature, IHDR (8 bits a channel, not interlaced), one IDAT of unfiltered
// rows, IEND. Throws std::invalid_argument when the bytes do not fill the
// rows, std::runtime_error when zlib fails.
Bytes encode(const Pixels& image, int level);

}  // namespace qs::png
