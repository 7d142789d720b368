#pragma once
// Reads back the PNG files the project writes (8 bits a channel, RGB or RGBA,
// one IDAT of unfiltered rows), as a strict reader would: the signature,
// every chunk's CRC, the header, the inflated rows.
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "support/files.h"

namespace qs::test {

struct PngImage {
  int width = 0, height = 0, channels = 0;
  Bytes pixels;  // rows top down, the filter bytes taken out
  const std::uint8_t* at(int x, int y) const {
    return pixels.data() + (static_cast<std::size_t>(y) * width + x) * channels;
  }
};

inline std::uint32_t be32(const Bytes& b, std::size_t at) {
  return std::uint32_t{b[at]} << 24 | std::uint32_t{b[at + 1]} << 16 | std::uint32_t{b[at + 2]} << 8 | b[at + 3];
}

// The image, or nothing with `error` saying what is wrong with the file.
inline std::optional<PngImage> readPng(const std::string& file, std::string& error) {
  const Bytes png = readBytes(file);
  auto fail = [&](const std::string& why) {
    error = file + ": " + why;
    return std::nullopt;
  };
  const Bytes signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 8 || !std::equal(signature.begin(), signature.end(), png.begin())) return fail("no PNG signature");
  std::map<std::string, Bytes> chunks;
  for (std::size_t at = 8; at < png.size();) {
    if (at + 12 > png.size() || at + 12 + be32(png, at) > png.size()) return fail("a chunk is cut short");
    const std::size_t length = be32(png, at);
    const std::string type(png.data() + at + 4, png.data() + at + 8);
    if (be32(png, at + 8 + length) != crc32(0L, png.data() + at + 4, static_cast<uInt>(length + 4)))
      return fail("the CRC of " + type + " is wrong");
    chunks[type].assign(png.data() + at + 8, png.data() + at + 8 + length);
    at += 12 + length;
  }
  if (!chunks.count("IHDR") || !chunks.count("IDAT") || !chunks.count("IEND")) return fail("a chunk is missing");
  const Bytes& h = chunks["IHDR"];
  if (h.size() != 13 || h[8] != 8 || (h[9] != 2 && h[9] != 6) || h[10] || h[11] || h[12])
    return fail("not 8-bit RGB or RGBA, deflated, not interlaced");
  PngImage image{static_cast<int>(be32(h, 0)), static_cast<int>(be32(h, 4)), h[9] == 6 ? 4 : 3, {}};
  const std::size_t stride = 1 + static_cast<std::size_t>(image.width) * image.channels;
  Bytes rows(stride * image.height);
  uLongf size = static_cast<uLongf>(rows.size());
  const Bytes& data = chunks["IDAT"];
  if (uncompress(rows.data(), &size, data.data(), static_cast<uLong>(data.size())) != Z_OK || size != rows.size())
    return fail("the rows do not inflate to the picture's size");
  for (std::size_t row = 0; row < rows.size(); row += stride) {
    if (rows[row] != 0) return fail("a row is filtered");
    image.pixels.insert(image.pixels.end(), rows.data() + row + 1, rows.data() + row + stride);
  }
  return image;
}

}  // namespace qs::test
