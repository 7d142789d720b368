// Everything the generator produces, as named in-memory files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "byte_io.h"

namespace qs::mediagen {

struct MediaFile {
  std::string name;
  std::string description;
  Bytes bytes;
};

// Sound effects, then tunes, then pictures; the same bytes on every call.
std::vector<MediaFile> generateMedia();

// Writes each file into dir (which must exist). Throws on I/O errors.
void writeMedia(const std::vector<MediaFile>& files, const std::filesystem::path& dir);

}  // namespace qs::mediagen
