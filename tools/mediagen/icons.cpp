#include "icons.h"

#include <cmath>
#include <fstream>
#include <stdexcept>

#include "platform/png/png_encoder.h"

namespace qs::mediagen {
namespace {

constexpr Rgba kClear{0, 0, 0, 0};
constexpr Rgba kTile{24, 28, 112, 255};
constexpr Rgba kFace{255, 214, 0, 255};
constexpr Rgba kFeature{24, 28, 112, 255};
constexpr int kSamples = 4;  // per side of a pixel

bool inRoundedSquare(double u, double v, double inset, double radius) {
  const double lo = inset + radius, hi = 1.0 - inset - radius;
  const double dx = u < lo ? lo - u : u > hi ? u - hi : 0.0;
  const double dy = v < lo ? lo - v : v > hi ? v - hi : 0.0;
  return u >= inset && u <= 1.0 - inset && v >= inset && v <= 1.0 - inset && dx * dx + dy * dy <= radius * radius;
}

bool inEllipse(double u, double v, double cu, double cv, double ru, double rv) {
  const double a = (u - cu) / ru, b = (v - cv) / rv;
  return a * a + b * b <= 1.0;
}

// The colour at a point of the unit square, y pointing down.
Rgba paint(double u, double v) {
  if (!inRoundedSquare(u, v, 0.03, 0.2)) return kClear;
  const double du = u - 0.5, dv = v - 0.5;
  const double r = std::hypot(du, dv);
  if (r > 0.40) return kTile;
  const bool eye = inEllipse(u, v, 0.375, 0.39, 0.05, 0.09) || inEllipse(u, v, 0.625, 0.39, 0.05, 0.09);
  const double degrees = std::atan2(dv, du) * 180.0 / 3.14159265358979323846;
  const bool mouth = r >= 0.19 && r <= 0.26 && degrees >= 25.0 && degrees <= 155.0;
  return eye || mouth ? kFeature : kFace;
}

png::Bytes encodePng(const RgbaImage& img) {
  std::vector<std::uint8_t> bytes;
  bytes.reserve(img.pixels.size() * 4);
  for (const Rgba& p : img.pixels) bytes.insert(bytes.end(), {p.r, p.g, p.b, p.a});
  return png::encode({img.width, img.height, 4, bytes}, png::kSmallest);
}

}  // namespace

RgbaImage drawIcon(int size) {
  RgbaImage img{size, size, std::vector<Rgba>(static_cast<std::size_t>(size) * static_cast<std::size_t>(size))};
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Averaged over sub-pixels, premultiplied, so edges blend into the clear background.
      double r = 0, g = 0, b = 0, a = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          const Rgba c = paint((x + (sx + 0.5) / kSamples) / size, (y + (sy + 0.5) / kSamples) / size);
          r += c.r * c.a;
          g += c.g * c.a;
          b += c.b * c.a;
          a += c.a;
        }
      }
      auto channel = [&](double premultiplied) {
        return static_cast<std::uint8_t>(a > 0 ? std::lround(premultiplied / a) : 0);
      };
      img.pixels[static_cast<std::size_t>(y * size + x)] = {
          channel(r), channel(g), channel(b), static_cast<std::uint8_t>(std::lround(a / (kSamples * kSamples)))};
    }
  }
  return img;
}

void writeIcons(const std::filesystem::path& dir, const std::string& id) {
  for (int size : kIconSizes) {
    const std::string side = std::to_string(size);
    const std::filesystem::path folder = dir / "hicolor" / (side + "x" + side) / "apps";
    std::filesystem::create_directories(folder);
    const png::Bytes png = encodePng(drawIcon(size));
    std::ofstream out(folder / (id + ".png"), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write the icons into " + folder.string());
  }
}

void writeIconPixels(const std::filesystem::path& file, int size) {
  std::ofstream out(file, std::ios::trunc);
  int column = 0;
  for (const Rgba& p : drawIcon(size).pixels)
    for (std::uint8_t c : {p.r, p.g, p.b, p.a}) {
      static const char digits[] = "0123456789abcdef";
      out << "0x" << digits[c >> 4] << digits[c & 15] << (++column % 16 ? ", " : ",\n");
    }
  out.close();
  if (!out) throw std::runtime_error("cannot write the icon's pixels to " + file.string());
}

}  // namespace qs::mediagen
