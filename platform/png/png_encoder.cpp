#include "platform/png/png_encoder.h"

#include <zlib.h>

#include <stdexcept>
#include <string_view>

namespace qs::png {
namespace {

void putU32be(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void putChunk(Bytes& out, std::string_view type, const Bytes& data) {
  putU32be(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out.insert(out.end(), type.begin(), type.end());
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
  putU32be(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

Bytes encode(const Pixels& image, int level) {
  const auto stride = static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.channels);
  const auto height = static_cast<std::size_t>(image.height);
  if (image.width <= 0 || image.height <= 0 || (image.channels != 3 && image.channels != 4) ||
      image.bytes.size() != stride * height)
    throw std::invalid_argument("PNG pixels do not fill their rows");

  Bytes rows;
  rows.reserve(height * (1 + stride));
  for (std::size_t y = 0; y < height; ++y) {
    rows.push_back(0);  // filter type None
    const auto row = image.bytes.subspan(y * stride, stride);
    rows.insert(rows.end(), row.begin(), row.end());
  }
  uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
  Bytes packed(packedSize);
  if (compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()), level) != Z_OK)
    throw std::runtime_error("cannot compress a PNG image");
  packed.resize(packedSize);

  Bytes header;
  putU32be(header, static_cast<std::uint32_t>(image.width));
  putU32be(header, static_cast<std::uint32_t>(image.height));
  const std::uint8_t colourType = image.channels == 4 ? 6 : 2;  // RGBA or RGB
  header.insert(header.end(), {8, colourType, 0, 0, 0});        // 8 bits, deflate, no filter method, no interlace

  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  putChunk(out, "IHDR", header);
  putChunk(out, "IDAT", packed);
  putChunk(out, "IEND", {});
  return out;
}

}  // namespace qs::png
