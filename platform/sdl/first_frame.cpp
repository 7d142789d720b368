#include "platform/sdl/first_frame.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/sdl/cache_file.h"

namespace qs {
namespace {

constexpr std::uint32_t kMagic = 0x31467151;  // "QqF1": the file's first word
constexpr std::uint32_t kRun = 0x80000000u;  // a count word with this bit: one pixel repeated

using Words = std::vector<std::uint32_t>;

bool fits(const SDL_Surface* s, const SDL_Rect& a) {
  return s && s->format->BytesPerPixel == 4 && a.x >= 0 && a.y >= 0 && a.w > 0 && a.h > 0 && a.x + a.w <= s->w &&
         a.y + a.h <= s->h;
}

std::uint32_t* row(const SDL_Surface* s, const SDL_Rect& a, int y) {
  return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + (a.y + y) * s->pitch) + a.x;
}

// The header: the file's mark, the name's length and bytes, then width,
// height and format.
Words header(const std::string& name, const SDL_Rect& a, std::uint32_t format) {
  Words w{kMagic, static_cast<std::uint32_t>(name.size())};
  w.resize(2 + (name.size() + 3) / 4, 0);
  std::copy(name.begin(), name.end(), reinterpret_cast<char*>(w.data() + 2));
  w.insert(w.end(), {static_cast<std::uint32_t>(a.w), static_cast<std::uint32_t>(a.h), format});
  return w;
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
        if (!open) {
          literal = out.size();
          out.push_back(0);
          open = true;
        }
        out[literal] += static_cast<std::uint32_t>(n);
        out.insert(out.end(), static_cast<std::size_t>(n), p[x]);
      }
      x += n;
    }
  }
  return out;
}

bool decode(const std::uint32_t* in, std::size_t words, SDL_Surface* s, const SDL_Rect& a) {
  std::size_t at = 0;
  int x = 0, y = 0;
  while (y < a.h) {
    if (at >= words) return false;
    const bool run = in[at] & kRun;
    std::uint32_t count = in[at++] & ~kRun;
    if (count == 0 || (run ? at + 1 : at + count) > words) return false;
    const std::uint32_t* from = in + at;
    at += run ? 1 : count;
    // A count may run on over the ends of rows.
    while (count > 0) {
      if (y >= a.h) return false;
      const std::uint32_t n = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(a.w - x));
      std::uint32_t* to = row(s, a, y) + x;
      if (run) {
        std::fill(to, to + n, *from);
      } else {
        std::copy(from, from + n, to);
        from += n;
      }
      count -= n;
      x += static_cast<int>(n);
      if (x == a.w) {
        x = 0;
        ++y;
      }
    }
  }
  return at == words;
}

}  // namespace

bool FirstFrameMemo::recall(const std::string& name, SDL_Surface* target, const SDL_Rect& area) const {
  if (file_.empty() || !fits(target, area)) return false;
  const Words head = header(name, area, target->format->format);
  // No picture of this size codes to more than two words a pixel.
  const std::uintmax_t most = 4 * (head.size() + 2u * static_cast<std::uintmax_t>(area.w) * area.h);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(file_, error);
  if (error || size > most || size % 4 != 0 || size < head.size() * 4) return false;
  Words words(size / 4);
  std::ifstream in(file_, std::ios::binary);
  if (!in.read(reinterpret_cast<char*>(words.data()), static_cast<std::streamsize>(size)) ||
      !std::equal(head.begin(), head.end(), words.begin()))
    return false;
  if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return false;
  const bool ok = decode(words.data() + head.size(), words.size() - head.size(), target, area);
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  return ok;
}

bool FirstFrameMemo::keep(const std::string& name, const SDL_Surface* source, const SDL_Rect& area) const {
  if (file_.empty() || !fits(source, area)) return false;
  Words words = header(name, area, source->format->format);
  const Words body = encode(source, area);
  words.insert(words.end(), body.begin(), body.end());
  return replaceFile(file_, std::string_view(reinterpret_cast<const char*>(words.data()), words.size() * 4));
}

}  // namespace qs
