// Menu pictures: a BMP is judged from its header before it is decoded, and
// what the judge lets through decodes into no more than the game's largest
// picture, whatever the rest of the file holds.
#include <SDL.h>

#include "fuzz_support.h"
#include "platform/sdl/draw/picture_cache.h"

FUZZ_TARGET(in) {
  const std::string path = in.file("picture.bmp");  // the judge takes a path only
  if (!qs::bmpProblem(path).empty()) return;
  if (SDL_Surface* s = SDL_LoadBMP(path.c_str())) {
    FUZZ_CHECK(s->w <= qs::PictureCache::kMaxSide && s->h <= qs::PictureCache::kMaxSide);
    SDL_FreeSurface(s);
  }
}
