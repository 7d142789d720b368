// 16-colour indexed images and their 4-bit Windows BMP encoding.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "byte_io.h"

namespace qs::mediagen {

// Indices into the classic 16-colour VGA palette, in Windows order.
enum Vga : std::uint8_t {
  kBlack,
  kDarkRed,
  kGreen,
  kOlive,
  kNavy,
  kPurple,
  kTeal,
  kLightGrey,
  kGrey,
  kRed,
  kLime,
  kYellow,
  kBlue,
  kMagenta,
  kCyan,
  kWhite
};

struct Rgb {
  std::uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};

const std::array<Rgb, 16>& vgaPalette();

// Top-down grid of palette indices.
class IndexedImage {
 public:
  IndexedImage(int width, int height, std::uint8_t fill);
  int width() const { return width_; }
  int height() const { return height_; }
  bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  std::uint8_t at(int x, int y) const;
  void set(int x, int y, std::uint8_t colour);  // ignores points outside

 private:
  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
};

// BITMAPFILEHEADER + BITMAPINFOHEADER, 16-entry VGA palette, 4 bits per
// pixel, bottom-up rows padded to 4 bytes, no compression.
Bytes encodeBmp4(const IndexedImage& image);

}  // namespace qs::mediagen
