#include "platform/sdl/picture_cache.h"

#include <SDL_image.h>

namespace qs {

PictureCache::~PictureCache() {
  for (auto& [file, s] : pictures_) SDL_FreeSurface(s);
}

SDL_Surface* PictureCache::get(const std::string& file) {
  if (file.empty()) return nullptr;
  auto [it, fresh] = pictures_.try_emplace(file, nullptr);
  if (fresh) {
    std::string path = file.front() == '/' ? file : dir_ + "/" + file;
    it->second = IMG_Load(path.c_str());
  }
  return it->second;
}

}  // namespace qs
