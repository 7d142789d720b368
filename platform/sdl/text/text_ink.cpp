#include "platform/sdl/text/text_ink.h"

#include <algorithm>
#include <cstdint>

namespace qs {

SDL_Rect inkOf(const SDL_Surface* line) {
  int left = line->w, right = -1, top = line->h, bottom = -1;
  for (int y = 0; y < line->h; ++y) {
    const auto* row = reinterpret_cast<const Uint32*>(static_cast<const std::uint8_t*>(line->pixels) + y * line->pitch);
    int first = 0;
    while (first < line->w && (row[first] >> 24) == 0) ++first;
    if (first == line->w) continue;
    int last = line->w - 1;
    while ((row[last] >> 24) == 0) --last;
    left = std::min(left, first);
    right = std::max(right, last);
    top = std::min(top, y);
    bottom = y;
  }
  if (right < 0) return SDL_Rect{0, 0, 0, 0};
  return SDL_Rect{left, top, right - left + 1, bottom - top + 1};
}

void copyInk(const SDL_Surface* line, const SDL_Rect& ink, void* pixels, int pitch) {
  for (int y = 0; y < ink.h; ++y) {
    const auto* from = static_cast<const std::uint8_t*>(line->pixels) + (ink.y + y) * line->pitch + ink.x * 4;
    std::copy(from, from + ink.w * 4, static_cast<std::uint8_t*>(pixels) + y * pitch);
  }
}

}  // namespace qs
