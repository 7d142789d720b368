// The desktop icon: the smiling face of the menu's title pictures, yellow on
// a navy tile, drawn smooth at each size.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "png_writer.h"

namespace qs::mediagen {

inline constexpr std::array<int, 7> kIconSizes{16, 24, 32, 48, 64, 128, 256};

RgbaImage drawIcon(int size);

// Writes <dir>/hicolor/NxN/apps/<id>.png for every size. Throws on I/O errors.
void writeIcons(const std::filesystem::path& dir, const std::string& id);

}  // namespace qs::mediagen
