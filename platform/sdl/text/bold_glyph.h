#pragma once
// Synthetic bold for a single glyph, drawn in one pass.
//
// SDL_ttf makes a face bold that has no bold file of its own by smearing
// each glyph to the right: once per pixel of overhang (a tenth of the pixel
// size) it adds every pixel's left neighbour to it, clamped at 255. For a
// glyph that fills a window that is some 60 million additions, the longest
// step before the splash's first frame. After k passes a pixel holds its left
// neighbours weighted by the binomial coefficients C(k, i), clamped, which
// one pass works out; the regular glyph is drawn as coverage (8 bits a pixel)
// and made bold into the line surface SDL_ttf would return, pixel for pixel.
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdint>
#include <string_view>
#include <vector>

namespace qs {

// What `passes` rounds of SDL_ttf's add-and-clamp leave in a row:
// out[c] = min(255, sum of C(passes, i) * in[c - i] for i = 0..min(passes, c)).
class Embolden {
 public:
  explicit Embolden(int passes);
  void row(const std::uint8_t* in, std::uint8_t* out, int width) const;

 private:
  static std::size_t at(int i) { return static_cast<std::size_t>(i); }
  int passes_;
  std::vector<int> weight_;  // C(passes, i), clamped at 255
  int edge_ = 0, far_ = 0;   // weight_[edge_ .. far_] are all 255
};

// Whether the UTF-8 text is one code point.
bool isSingleCodePoint(std::string_view utf8);

// The glyph of `utf8` (one code point) as TTF_RenderUTF8_Blended draws it
// with the bold style on `bold` (ARGB8888: `fore` with the coverage as
// alpha), made from `regular`, the same file at the same size without it.
class BoldGlyph {
 public:
  BoldGlyph(TTF_Font* regular, TTF_Font* bold, int pixelSize, const char* utf8);
  ~BoldGlyph();
  BoldGlyph(const BoldGlyph&) = delete;
  BoldGlyph& operator=(const BoldGlyph&) = delete;

  // False when SDL_ttf cannot draw it.
  bool ok() const { return coverage_ != nullptr; }
  int width() const { return width_; }
  int height() const { return coverage_ ? coverage_->h : 0; }
  // Where its ink lies: the rows the regular glyph inks, from its first inked
  // column to the last one smeared right.
  SDL_Rect ink() const;
  // Writes the pixels of `area` into `pixels`, ARGB8888 rows `pitch` bytes
  // apart: a texture's own memory, so that a window-sized glyph is not copied
  // on its way.
  void write(SDL_Color fore, const SDL_Rect& area, void* pixels, int pitch) const;

 private:
  int passes_;
  int width_ = 0;
  SDL_Surface* coverage_ = nullptr;  // the regular glyph, one byte a pixel
};

}  // namespace qs
