// The kept first frame: any bytes at all may follow the header in
// "Qspe-first-frame". Nothing is written outside the picture's place; a
// picture taken is kept and taken again the same.
#include <SDL.h>

#include "fuzz_support.h"
#include "platform/sdl/draw/first_frame.h"

namespace {

constexpr std::uint32_t kGuard = 0x5a5a5a5a;
const SDL_Rect kArea{1, 1, 8, 4};

SDL_Surface* surface() {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, 10, 6, 32, SDL_PIXELFORMAT_ARGB8888);
  FUZZ_CHECK(s != nullptr);
  SDL_FillRect(s, nullptr, kGuard);
  return s;
}

std::uint32_t at(const SDL_Surface* s, int x, int y) {
  return static_cast<const std::uint32_t*>(s->pixels)[y * s->pitch / 4 + x];
}

struct Setting {
  qs::fuzz::InputFile file{"first-frame"};
  qs::FirstFrameMemo memo{file.dir() + "/first-frame", "fuzz"};
  std::string head;  // the header of a picture of kArea named "splash" by the build "fuzz"
  Setting() {
    SDL_Surface* s = surface();
    FUZZ_CHECK(memo.keep("splash", s, kArea));
    SDL_FreeSurface(s);
    const qs::test::Bytes kept = qs::test::readBytes(file.dir() + "/first-frame");
    const std::size_t tag = std::string("fuzz\x1fsplash").size();
    head.assign(kept.begin(), kept.begin() + 4 * (2 + (tag + 3) / 4 + 3));  // mark, length, tag, width, height, format
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static Setting setting;
  const std::string bytes = setting.head + std::string(reinterpret_cast<const char*>(data), size);
  setting.file.write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  SDL_Surface* target = surface();
  const bool taken = setting.memo.recall("splash", target, kArea);
  for (int y = 0; y < target->h; ++y)
    for (int x = 0; x < target->w; ++x)
      if (x < kArea.x || y < kArea.y || x >= kArea.x + kArea.w || y >= kArea.y + kArea.h)
        FUZZ_CHECK(at(target, x, y) == kGuard);
  if (taken) {
    static const qs::FirstFrameMemo again(setting.file.dir() + "/again", "fuzz");
    SDL_Surface* copy = surface();
    FUZZ_CHECK(again.keep("splash", target, kArea) && again.recall("splash", copy, kArea));
    for (int y = kArea.y; y < kArea.y + kArea.h; ++y)
      for (int x = kArea.x; x < kArea.x + kArea.w; ++x) FUZZ_CHECK(at(copy, x, y) == at(target, x, y));
    SDL_FreeSurface(copy);
  }
  SDL_FreeSurface(target);
  return 0;
}
