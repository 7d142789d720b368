#include "png_writer.h"

#include <zlib.h>

#include <stdexcept>
#include <string_view>

namespace qs::mediagen {
namespace {

void putChunk(Bytes& out, std::string_view type, const Bytes& data) {
  putU32be(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  putTag(out, type);
  out.insert(out.end(), data.begin(), data.end());
  const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
  putU32be(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

Bytes encodePng(const RgbaImage& image) {
  Bytes rows;
  rows.reserve(static_cast<std::size_t>(image.height) * (1 + 4 * static_cast<std::size_t>(image.width)));
  for (int y = 0; y < image.height; ++y) {
    rows.push_back(0);  // filter type None
    for (int x = 0; x < image.width; ++x) {
      const Rgba p = image.at(x, y);
      rows.insert(rows.end(), {p.r, p.g, p.b, p.a});
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
  Bytes packed(packedSize);
  if (compress2(packed.data(), &packedSize, rows.data(), static_cast<uLong>(rows.size()), Z_BEST_COMPRESSION) != Z_OK)
    throw std::runtime_error("cannot compress a PNG image");
  packed.resize(packedSize);

  Bytes header;
  putU32be(header, static_cast<std::uint32_t>(image.width));
  putU32be(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no filter method, no interlace

  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  putChunk(out, "IHDR", header);
  putChunk(out, "IDAT", packed);
  putChunk(out, "IEND", {});
  return out;
}

}  // namespace qs::mediagen
