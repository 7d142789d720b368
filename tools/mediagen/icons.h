// The desktop icon: the smiling face of the menu's title pictures, yellow on
// a navy tile, drawn smooth at each size.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

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
};

inline constexpr std::array<int, 7> kIconSizes{16, 24, 32, 48, 64, 128, 256};

RgbaImage drawIcon(int size);

// Writes <dir>/hicolor/NxN/apps/<id>.png for every size. Throws on I/O errors.
void writeIcons(const std::filesystem::path& dir, const std::string& id);

// Writes the icon's pixels at one size as the body of a C array initializer
// ("0x18, 0x1c, ..."), R, G, B, A for each pixel, row by row from the top:
// the programs build it in as their windows' icon. Throws on I/O errors.
void writeIconPixels(const std::filesystem::path& file, int size);

}  // namespace qs::mediagen
