#include "bmp_writer.h"

#include <stdexcept>

namespace qs::mediagen {

const std::array<Rgb, 16>& vgaPalette() {
  static const std::array<Rgb, 16> palette = {{
      {0, 0, 0},
      {128, 0, 0},
      {0, 128, 0},
      {128, 128, 0},
      {0, 0, 128},
      {128, 0, 128},
      {0, 128, 128},
      {192, 192, 192},
      {128, 128, 128},
      {255, 0, 0},
      {0, 255, 0},
      {255, 255, 0},
      {0, 0, 255},
      {255, 0, 255},
      {0, 255, 255},
      {255, 255, 255},
  }};
  return palette;
}

IndexedImage::IndexedImage(int width, int height, std::uint8_t fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width * height), fill) {
  if (width <= 0 || height <= 0) throw std::invalid_argument("image size must be positive");
  if (fill > 15) throw std::out_of_range("colour index out of range");
}

std::uint8_t IndexedImage::at(int x, int y) const {
  if (!contains(x, y)) throw std::out_of_range("pixel outside the image");
  return pixels_[static_cast<std::size_t>(y * width_ + x)];
}

void IndexedImage::set(int x, int y, std::uint8_t colour) {
  if (colour > 15) throw std::out_of_range("colour index out of range");
  if (contains(x, y)) pixels_[static_cast<std::size_t>(y * width_ + x)] = colour;
}

Bytes encodeBmp4(const IndexedImage& image) {
  constexpr std::uint32_t kHeaderSize = 14 + 40 + 16 * 4;
  const auto width = static_cast<std::uint32_t>(image.width());
  const auto height = static_cast<std::uint32_t>(image.height());
  const std::uint32_t rowBytes = (width * 4 + 31) / 32 * 4;
  const std::uint32_t imageSize = rowBytes * height;

  Bytes out;
  out.reserve(kHeaderSize + imageSize);
  putTag(out, "BM");
  putU32le(out, kHeaderSize + imageSize);
  putU32le(out, 0);  // reserved
  putU32le(out, kHeaderSize);

  putU32le(out, 40);
  putU32le(out, width);
  putU32le(out, height);  // positive: bottom-up
  putU16le(out, 1);       // planes
  putU16le(out, 4);       // bits per pixel
  putU32le(out, 0);       // BI_RGB
  putU32le(out, imageSize);
  putU32le(out, 2835);  // 72 dpi
  putU32le(out, 2835);
  putU32le(out, 16);  // colours used
  putU32le(out, 0);   // all important

  for (const Rgb& c : vgaPalette()) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }

  for (int y = image.height() - 1; y >= 0; --y) {
    Bytes row(rowBytes, 0);
    for (int x = 0; x < image.width(); ++x) {
      const auto shift = (x % 2 == 0) ? 4 : 0;  // left pixel in the high nibble
      row[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(image.at(x, y) << shift);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace qs::mediagen
