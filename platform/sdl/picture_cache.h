#pragma once
#include <SDL.h>

#include <map>
#include <string>

namespace qs {

// Pictures from the program directory, each read once. A file that cannot be
// read is remembered as missing and draws nothing.
class PictureCache {
 public:
  explicit PictureCache(std::string dir) : dir_(std::move(dir)) {}
  ~PictureCache();
  PictureCache(const PictureCache&) = delete;
  PictureCache& operator=(const PictureCache&) = delete;

  // The picture, or nullptr when it is missing.
  SDL_Surface* get(const std::string& file);

 private:
  std::string dir_;
  std::map<std::string, SDL_Surface*> pictures_;
};

}  // namespace qs
