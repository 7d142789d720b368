#pragma once
#include <SDL.h>

#include <cstdint>
#include <map>
#include <string>

#include "host/media_report.h"

namespace qs {

// Pictures from the program directory, each read once. A file that is
// missing or cannot be shown is named once on standard error, remembered,
// and draws nothing.
class PictureCache {
 public:
  // The largest picture shown, and the largest file read: the menu's are
  // 32 × 32 and under a kilobyte. A header that claims more is refused before
  // anything is decoded, so a few bytes cannot claim gigabytes of pixels.
  static constexpr int kMaxSide = 256;
  static constexpr std::uintmax_t kMaxFileBytes = 1u << 20;

  PictureCache(std::string dir, std::string programName) : dir_(std::move(dir)), report_(std::move(programName)) {}
  ~PictureCache();
  PictureCache(const PictureCache&) = delete;
  PictureCache& operator=(const PictureCache&) = delete;

  // The picture, or nullptr when there is none to show.
  SDL_Surface* get(const std::string& file);
  // A picture that was read but cannot be drawn: it is dropped, named, and
  // not tried again.
  void refuse(const std::string& file, const std::string& why);

 private:
  std::string path(const std::string& file) const { return file.front() == '/' ? file : dir_ + "/" + file; }

  std::string dir_;
  MediaReport report_;
  std::map<std::string, SDL_Surface*> pictures_;
};

// Why a file is not a BMP picture of at most kMaxSide pixels a side (from its
// header alone); empty when it is one.
std::string bmpProblem(const std::string& path);

}  // namespace qs
