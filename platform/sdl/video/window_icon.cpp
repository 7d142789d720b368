#include "platform/sdl/video/window_icon.h"

#include <cstdint>
#include <cstring>

namespace qs {
namespace {

// R, G, B, A, row by row from the top.
constexpr std::uint8_t kPixels[] = {
#include "window_icon_rgba.inc"
};
static_assert(sizeof kPixels == kWindowIconSize * kWindowIconSize * 4);

}  // namespace

SDL_Surface* makeWindowIcon() {
  SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, kWindowIconSize, kWindowIconSize, 32, SDL_PIXELFORMAT_RGBA32);
  if (!icon) return nullptr;
  for (int y = 0; y < kWindowIconSize; ++y)
    std::memcpy(static_cast<std::uint8_t*>(icon->pixels) + y * icon->pitch, kPixels + y * kWindowIconSize * 4,
                kWindowIconSize * 4);
  return icon;
}

}  // namespace qs
