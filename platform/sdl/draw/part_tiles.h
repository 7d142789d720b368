#pragma once
// Parts of a window kept as pictures once drawn twice the same.
//
// A label that blinks in place makes its part of the window be filled and
// everything under it blended again at every blink, the idle menu's only
// work. The second time the same picture is drawn in the same place it is
// kept, and from then on that part is one copy. Whatever moves draws a new
// picture every time and leaves nothing kept. A picture is named by all it
// is made of: the place, the scale, the form's back colour and every shown
// element over the place, in stacking order, with all that draws it (its
// drawn place, and a label's text, font, colours, alignment and whether the
// text is its layout's own, which may be narrowed).
#include <SDL.h>

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

#include "runtime/form.h"

namespace qs {

class TextureCache;

// Where a form's element is drawn: `ox`, `oy` the container's origin in
// client pixels, the result in drawn (scaled) pixels.
SDL_Rect drawnArea(const Container& c, const Element& e, int ox, int oy, int scale);

class PartTiles {
 public:
  // The name of the picture of `part` (drawn pixels); nothing when it cannot
  // be told from the elements alone (a box, or printed text, is drawn there).
  static std::optional<std::string> nameOf(const Form& form, int scale, const SDL_Rect& part);
  // The same for a part of any size.
  static std::optional<std::string> drawingOf(const Form& form, int scale, const SDL_Rect& part);

  // Draws the kept picture of that name over the part; false when none is kept.
  bool draw(TextureCache& textures, SDL_Renderer* renderer, const std::string& name, const SDL_Rect& part);
  // The part was just drawn: keeps its picture when this is the second time.
  void drawn(TextureCache& textures, SDL_Renderer* renderer, const std::string& name, const SDL_Rect& part);
  // Parts drawn by copying a kept picture so far.
  std::uint64_t copies() const { return copies_; }

 private:
  static constexpr std::size_t kMaxNames = 256;
  static constexpr int kMaxPixels = 256 * 256;  // larger parts are the whole window changing
  std::unordered_map<std::string, int> seen_;
  std::uint64_t copies_ = 0;
};

}  // namespace qs
