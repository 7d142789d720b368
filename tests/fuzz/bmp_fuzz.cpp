// Menu pictures: a BMP is judged from its header before it is decoded, and
// what the judge lets through decodes into no more than the game's largest
// picture, whatever the rest of the file holds.
#include <SDL.h>

#include "fuzz_support.h"
#include "platform/sdl/draw/picture_cache.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static qs::fuzz::InputFile file("picture.bmp");  // the judge takes a path only
  const std::string& path = file.write(data, size);
  if (!qs::bmpProblem(path).empty()) return 0;
  if (SDL_Surface* s = SDL_LoadBMP(path.c_str())) {
    FUZZ_CHECK(s->w <= qs::PictureCache::kMaxSide && s->h <= qs::PictureCache::kMaxSide);
    SDL_FreeSurface(s);
  }
  return 0;
}
