// The 32x32 title and question-mark pictures.
#pragma once

#include <string>
#include <vector>

#include "bmp_writer.h"

namespace qs::mediagen {

inline constexpr int kPictureSize = 32;

struct Picture {
  std::string name;  // file name, e.g. "title1.bmp"
  std::string description;
  IndexedImage image;
};

std::vector<Picture> makePictures();

}  // namespace qs::mediagen
