#include "platform/sdl/draw/first_frame.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/sdl/cache_file.h"

namespace qs {
namespace {

constexpr std::uint32_t kMagic = 0x32467151;  // "QqF2": the file's first word
constexpr std::uint32_t kRun = 0x80000000u;  // a count word with this bit: one pixel repeated
// The splash at scale 3 codes to some 110 kB; a picture that codes to more
// than this is drawn at each start instead.
constexpr std::size_t kMostBytes = 4u << 20;

using Words = std::vector<std::uint32_t>;

// The checksum of pixels in order: h = h * P + pixel for each, modulo 2^64.
// Any one pixel changed changes it (P is odd). A run of n pixels adds in
// log n steps, so a start checks the picture it copies at little more than
// the cost of reading its file.
class PixelSum {
 public:
  void add(std::uint32_t pixel) { h_ = h_ * kP + pixel; }
  void addRun(std::uint32_t pixel, std::uint32_t n) {
    std::uint64_t power = 1, sum = 0;  // P^k and 1 + P + ... + P^(k-1), k the bits of n taken so far
    for (int bit = 31 - __builtin_clz(n | 1); bit >= 0; --bit) {
      sum *= power + 1;  // k to 2k
      power *= power;
      if (n >> bit & 1) {  // k to k + 1
        sum = sum * kP + 1;
        power *= kP;
      }
    }
    h_ = h_ * power + pixel * sum;
  }
  std::uint64_t value() const { return h_; }

 private:
  static constexpr std::uint64_t kP = 0x100000001b3ull;
  std::uint64_t h_ = 0;
};

std::uint32_t wordAt(const char* bytes, std::size_t i) {
  std::uint32_t w;
  std::memcpy(&w, bytes + 4 * i, 4);
  return w;
}

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
Words encode(const SDL_Surface* s, const SDL_Rect& a, PixelSum& sum) {
  Words out;
  std::size_t literal = 0;  // where the open stretch's count word is, when one is open
  bool open = false;
  for (int y = 0; y < a.h; ++y) {
    const std::uint32_t* p = row(s, a, y);
    for (int x = 0; x < a.w; ++x) sum.add(p[x]);  // of the pixels themselves, not of their coding
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

// The coded words, as bytes of the file.
bool decode(const char* in, std::size_t words, SDL_Surface* s, const SDL_Rect& a, PixelSum& sum) {
  std::size_t at = 0;
  int x = 0, y = 0;
  while (y < a.h) {
    if (at >= words) return false;
    const bool run = wordAt(in, at) & kRun;
    std::uint32_t count = wordAt(in, at++) & ~kRun;
    if (count == 0 || (run ? at + 1 : at + count) > words) return false;
    std::size_t from = at;
    at += run ? 1 : count;
    // A count may run on over the ends of rows.
    while (count > 0) {
      if (y >= a.h) return false;
      const std::uint32_t n = std::min<std::uint32_t>(count, static_cast<std::uint32_t>(a.w - x));
      std::uint32_t* to = row(s, a, y) + x;
      if (run) {
        std::fill(to, to + n, wordAt(in, from));
        sum.addRun(wordAt(in, from), n);
      } else {
        std::memcpy(to, in + 4 * from, 4 * n);
        for (std::uint32_t i = 0; i < n; ++i) sum.add(to[i]);
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

// After the header: the number of coded words and the two halves of the
// pixels' checksum, then the coded words.
bool FirstFrameMemo::recall(const std::string& name, SDL_Surface* target, const SDL_Rect& area) const {
  if (file_.empty() || !fits(target, area)) return false;
  // Fault mended: a picture kept by another build, or damaged, was shown; the build and a checksum
  // of the pixels are now in the file.
  const Words head = header(build_ + '\x1f' + name, area, target->format->format);
  const std::size_t fixed = 4 * (head.size() + 3);
  // No picture of this size codes to more than two words a pixel.
  const std::size_t most =
      std::min<std::uintmax_t>(kMostBytes, fixed + 8u * static_cast<std::uintmax_t>(area.w) * area.h);
  const std::string bytes = readCacheFile(file_, most);
  if (bytes.size() < fixed || std::memcmp(bytes.data(), head.data(), 4 * head.size()) != 0) return false;
  const std::uint32_t words = wordAt(bytes.data(), head.size());
  const std::uint64_t kept =
      wordAt(bytes.data(), head.size() + 1) | std::uint64_t{wordAt(bytes.data(), head.size() + 2)} << 32;
  if (bytes.size() != fixed + 4u * std::uint64_t{words}) return false;  // exactly the words said
  if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return false;
  PixelSum sum;
  const bool ok = decode(bytes.data() + fixed, words, target, area, sum);
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  return ok && sum.value() == kept;
}

bool FirstFrameMemo::keep(const std::string& name, const SDL_Surface* source, const SDL_Rect& area) const {
  if (file_.empty() || !fits(source, area)) return false;
  Words words = header(build_ + '\x1f' + name, area, source->format->format);
  PixelSum sum;
  const Words body = encode(source, area, sum);
  if (4 * (words.size() + 3 + body.size()) > kMostBytes) return false;
  words.insert(words.end(), {static_cast<std::uint32_t>(body.size()), static_cast<std::uint32_t>(sum.value()),
                             static_cast<std::uint32_t>(sum.value() >> 32)});
  words.insert(words.end(), body.begin(), body.end());
  return replaceFile(file_, std::string_view(reinterpret_cast<const char*>(words.data()), words.size() * 4));
}

}  // namespace qs
