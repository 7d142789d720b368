#include "platform/sdl/first_frame.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "platform/sdl/cache_file.h"

namespace qs {
namespace {

constexpr char kMagic[] = "qspe first frame 1\n";
constexpr std::uint32_t kRun = 0x80000000u;  // a count word with this bit: one pixel repeated

using Words = std::vector<std::uint32_t>;

bool fits(const SDL_Surface* s, const SDL_Rect& a) {
  return s && s->format->BytesPerPixel == 4 && a.x >= 0 && a.y >= 0 && a.w > 0 && a.h > 0 && a.x + a.w <= s->w &&
         a.y + a.h <= s->h;
}

std::uint32_t* row(const SDL_Surface* s, const SDL_Rect& a, int y) {
  return reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + (a.y + y) * s->pitch) + a.x;
}

// The header: the name's length and bytes, then width, height and format.
Words header(const std::string& name, const SDL_Rect& a, std::uint32_t format) {
  Words w{static_cast<std::uint32_t>(name.size())};
  w.resize(1 + (name.size() + 3) / 4, 0);
  std::copy(name.begin(), name.end(), reinterpret_cast<char*>(w.data() + 1));
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
  const std::size_t magic = sizeof kMagic - 1;
  const Words head = header(name, area, target->format->format);
  const std::size_t headBytes = head.size() * 4;
  // No picture of this size codes to more than a count word for each pixel.
  const std::uintmax_t most = magic + headBytes + 8u * static_cast<std::uintmax_t>(area.w) * area.h;
  std::error_code error;
  if (std::filesystem::file_size(file_, error) > most || error) return false;
  std::ifstream in(file_, std::ios::binary);
  const std::vector<char> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (bytes.size() < magic + headBytes || (bytes.size() - magic) % 4 != 0 ||
      !std::equal(kMagic, kMagic + magic, bytes.begin()) ||
      !std::equal(bytes.begin() + static_cast<std::ptrdiff_t>(magic),
                  bytes.begin() + static_cast<std::ptrdiff_t>(magic + headBytes),
                  reinterpret_cast<const char*>(head.data())))
    return false;
  Words body((bytes.size() - magic - headBytes) / 4);
  std::copy(bytes.begin() + static_cast<std::ptrdiff_t>(magic + headBytes), bytes.end(),
            reinterpret_cast<char*>(body.data()));
  if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return false;
  const bool ok = decode(body.data(), body.size(), target, area);
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  return ok;
}

bool FirstFrameMemo::keep(const std::string& name, const SDL_Surface* source, const SDL_Rect& area) const {
  if (file_.empty() || !fits(source, area)) return false;
  Words words = header(name, area, source->format->format);
  const Words body = encode(source, area);
  words.insert(words.end(), body.begin(), body.end());
  std::string bytes(kMagic, sizeof kMagic - 1);
  bytes.append(reinterpret_cast<const char*>(words.data()), words.size() * 4);
  return replaceFile(file_, bytes);
}

}  // namespace qs
