#include "platform/sdl/text/symbol_line.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/sdl/text/glyph_map.h"
#include "platform/sdl/text/text_ink.h"

namespace qs {
namespace {

// The largest size not above `pixels` at which the pictograph's outline, as
// the font's metrics give it (widened by the smear of a made-up bold), fits
// the square: worked out without drawing, so that a window-sized pictograph
// is drawn once.
int sizeFromMetrics(FontCache& fonts, const Font& regular, bool smeared, char32_t cp, int pixels, int box) {
  int px = pixels;
  for (int tries = 0; tries < 8 && px > 1; ++tries) {
    int minx = 0, maxx = 0, miny = 0, maxy = 0, advance = 0;
    TTF_Font* f = fonts.atPixels(regular, px);
    if (!f || TTF_GlyphMetrics32(f, cp, &minx, &maxx, &miny, &maxy, &advance) != 0) break;
    const int extent = std::max(maxx - minx + (smeared ? px / 10 : 0), maxy - miny);
    if (extent <= box) break;
    px = std::max(1, std::min(px - 1, px * box / extent));
  }
  return px;
}

}  // namespace

SymbolLine::SymbolLine(FontCache& fonts, const Font& font, int scale, const std::string& drawn, SDL_Color fore)
    : fore_(fore) {
  const int pixels = FontCache::pixelSize(font.size, scale);
  const int box = symbolBox(FontCache::pixelSize(font.size, 1), scale);
  for (std::size_t i = 0, len = 1; i < drawn.size(); i += len)
    add(fonts, font, pixels, box, decodeUtf8(drawn, i, len), width_);
  if (pieces_.empty()) return;
  int left = width_, top = box, right = 0, bottom = 0;
  for (const Piece& p : pieces_) {
    left = std::min(left, p.at.x);
    top = std::min(top, p.at.y);
    right = std::max(right, p.at.x + p.from.w);
    bottom = std::max(bottom, p.at.y + p.from.h);
  }
  ink_ = SDL_Rect{left, top, right - left, bottom - top};
}

void SymbolLine::add(FontCache& fonts, const Font& font, int pixels, int box, char32_t cp, int left) {
  Font regular = font;
  regular.bold = false;
  const bool smeared = fonts.syntheticBold(font);
  std::string utf8;
  appendUtf8(utf8, cp);
  Piece p;
  int advance = 0;
  // The metrics are near enough for the first try; what is drawn decides.
  for (int px = sizeFromMetrics(fonts, smeared ? regular : font, smeared, cp, pixels, box);; --px) {
    if (smeared) {
      TTF_Font* r = fonts.atPixels(regular, px);  // both stay open: the cache closes only its least recently used
      TTF_Font* b = fonts.atPixels(font, px);
      if (!r || !b) return;
      p.bold = std::make_unique<BoldGlyph>(r, b, px, utf8.c_str());
      if (!p.bold->ok()) return;
      p.from = p.bold->ink();
      advance = p.bold->width();
    } else {
      TTF_Font* f = fonts.atPixels(font, px);
      if (!f) return;
      p.plain.reset(TTF_RenderUTF8_Blended(f, utf8.c_str(), fore_));
      if (!p.plain) return;
      p.from = inkOf(p.plain.get());
      advance = p.plain->w;
    }
    if ((p.from.w <= box && p.from.h <= box) || px <= 1) break;
  }
  const int cell = std::min(box, std::max(advance, p.from.w));
  width_ = left + cell;
  if (p.from.w == 0) return;  // a blank
  p.at = SDL_Point{left + (cell - p.from.w) / 2, box - p.from.h};
  pieces_.push_back(std::move(p));
}

void SymbolLine::write(void* pixels, int pitch) const {
  auto* rows = static_cast<std::uint8_t*>(pixels);
  const bool whole = pieces_.size() == 1;  // one piece covers the ink
  if (!whole)
    for (int y = 0; y < ink_.h; ++y) std::memset(rows + y * pitch, 0, static_cast<std::size_t>(ink_.w) * 4);
  for (const Piece& p : pieces_) {
    std::uint8_t* to = rows + (p.at.y - ink_.y) * pitch + (p.at.x - ink_.x) * 4;
    if (p.bold) {
      p.bold->write(fore_, p.from, to, pitch);
      continue;
    }
    const SDL_Surface* s = p.plain.get();
    for (int y = 0; y < p.from.h; ++y)
      std::memcpy(to + y * pitch,
                  static_cast<const std::uint8_t*>(s->pixels) + (p.from.y + y) * s->pitch + p.from.x * 4,
                  static_cast<std::size_t>(p.from.w) * 4);
  }
}

}  // namespace qs
