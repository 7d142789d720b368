#include "platform/sdl/draw/first_frame.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace qs {
namespace {

constexpr std::uint32_t kRun = 0x80000000u;  // a count word with this bit: one pixel repeated

using Words = std::vector<std::uint32_t>;

bool fits(const SDL_Surface* s, const SDL_Rect& a) {
  return s && s->format->BytesPerPixel == 4 && a.x >= 0 && a.y >= 0 && a.w > 0 && a.h > 0 && a.x + a.w <= s->w &&
         a.y + a.h <= s->h;
}

std::uint32_t* row(const SDL_Surface* s, const SDL_Rect& a, int y) {
  return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + (a.y + y) * s->pitch) + a.x;
}

// The entry's key: the name, and the picture's size and pixel format.
std::string key(const std::string& name, const SDL_Rect& a, std::uint32_t format) {
  return name + '\x1f' + std::to_string(a.w) + 'x' + std::to_string(a.h) + ' ' + std::to_string(format);
}

// Runs of one pixel, and stretches of differing pixels copied as they are.
Words encode(const SDL_Surface* s, const SDL_Rect& a) {
  Words out;
  std::size_t literal = 0;  // where the open stretch's count word is, when one is open
  bool open = false;
  for (int y = 0; y < a.h; ++y) {
    const std::uint32_t* p = row(s, a, y);
    for (int x = 0; x < a.w;) {
      int n = 1;
      while (x + n < a.w && p[x + n] == p[x] && n < 0x7fffffff) ++n;
      if (n >= 3) {
        out.insert(out.end(), {kRun | static_cast<std::uint32_t>(n), p[x]});
        open = false;
      } else {
        if (!open) literal = out.size(), out.push_back(0), open = true;
        out[literal] += static_cast<std::uint32_t>(n);
        out.insert(out.end(), static_cast<std::size_t>(n), p[x]);
      }
      x += n;
    }
  }
  return out;
}

// The runs and stretches; a count may run on over the ends of rows.
bool decode(const Words& in, SDL_Surface* s, const SDL_Rect& a) {
  std::size_t at = 0;
  int x = 0, y = 0;
  while (y < a.h) {
    if (at >= in.size()) return false;
    const bool run = in[at] & kRun;
    std::uint32_t count = in[at++] & ~kRun;
    if (count == 0 || (run ? at + 1 : at + count) > in.size()) return false;
    std::size_t from = at;
    at += run ? 1 : count;
    while (count > 0) {
      if (y >= a.h) return false;
      const std::uint32_t n = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(a.w - x));
      std::uint32_t* to = row(s, a, y) + x;
      if (run) std::fill(to, to + n, in[from]);
      else std::copy_n(in.begin() + static_cast<std::ptrdiff_t>(from), n, to);
      from += run ? 0 : n;
      count -= n;
      x += static_cast<int>(n);
      if (x == a.w) x = 0, ++y;  // on to the next row
    }
  }
  return at == in.size();
}

}  // namespace

bool FirstFrameMemo::recall(const std::string& name, SDL_Surface* target, const SDL_Rect& area) const {
  if (!fits(target, area)) return false;
  // Fault mended: a picture kept by another build, or damaged, was shown; the build and a checksum
  // of the coded pixels are now in the file.
  const std::optional<std::string> body = cache_.read(key(name, area, target->format->format));
  if (!body || body->empty() || body->size() % 4 != 0) return false;
  Words words(body->size() / 4);
  std::memcpy(words.data(), body->data(), body->size());
  if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return false;
  const bool ok = decode(words, target, area);
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  return ok;
}

bool FirstFrameMemo::keep(const std::string& name, const SDL_Surface* source, const SDL_Rect& area) const {
  if (!fits(source, area)) return false;
  const Words words = encode(source, area);
  return cache_.write(key(name, area, source->format->format),
                      std::string_view(reinterpret_cast<const char*>(words.data()), words.size() * 4));
}

}  // namespace qs
