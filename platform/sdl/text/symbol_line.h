#pragma once
// A line of pictographs placed as the glyph font places its pictures.
//
// The pictograph font stands in for a symbol font whose pictures lie in the
// em square above the baseline, 0.9 em below the line's top; its own are
// larger and hang below the baseline. Each pictograph is drawn in a square of
// that side (symbolBox), its ink resting on the square's bottom edge and
// centred across its cell; one larger than the square is drawn at the
// largest size at which it fits.
#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/sdl/text/bold_glyph.h"
#include "platform/sdl/text/font_cache.h"
#include "platform/sdl/video/png_shot.h"

namespace qs {

class SymbolLine {
 public:
  // `drawn`: the pictographs (FontCache::drawnText), UTF-8.
  SymbolLine(FontCache& fonts, const Font& font, int scale, const std::string& drawn, SDL_Color fore);
  // Where its ink lies in the line; empty (w == 0) for a line with none.
  SDL_Rect ink() const { return ink_; }
  int width() const { return width_; }
  // Writes the pixels of ink() into ARGB8888 rows `pitch` bytes apart.
  void write(void* pixels, int pitch) const;

 private:
  // One pictograph: its pixels (one of the two) and where its ink goes.
  struct Piece {
    std::unique_ptr<BoldGlyph> bold;
    SurfacePtr plain;
    SDL_Rect from{0, 0, 0, 0};  // its ink in what was drawn
    SDL_Point at{0, 0};         // in the line
  };
  void add(FontCache& fonts, const Font& font, int pixels, int box, char32_t cp, int left);

  SDL_Color fore_;
  std::vector<Piece> pieces_;
  SDL_Rect ink_{0, 0, 0, 0};
  int width_ = 0;
};

}  // namespace qs
