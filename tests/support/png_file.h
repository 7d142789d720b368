#pragma once
// Reads back the PNG files the project writes with libpng, as desktops and
// image viewers read them: a wrong signature, chunk CRC, header or
// compressed stream is an error.
#include <png.h>

#include <optional>
#include <string>

#include "support/files.h"

namespace qs::test {

struct PngImage {
  int width = 0, height = 0, channels = 0;  // RGB, or RGBA when the file has alpha
  Bytes pixels;                             // rows top down
  const std::uint8_t* at(int x, int y) const {
    return pixels.data() + (static_cast<std::size_t>(y) * width + x) * channels;
  }
};

// The image, or nothing with `error` saying what is wrong with the file.
inline std::optional<PngImage> readPng(const std::string& file, std::string& error) {
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&png, file.c_str())) {
    png.format = png.format & PNG_FORMAT_FLAG_ALPHA ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    PngImage image{static_cast<int>(png.width), static_cast<int>(png.height),
                   static_cast<int>(PNG_IMAGE_PIXEL_CHANNELS(png.format)), Bytes(PNG_IMAGE_SIZE(png))};
    if (png_image_finish_read(&png, nullptr, image.pixels.data(), 0, nullptr)) return image;
  }
  error = file + ": " + png.message;
  png_image_free(&png);
  return std::nullopt;
}

}  // namespace qs::test
