#pragma once
// The picture of a program's first frame, kept in a file for the next start.
//
// A start spends most of its first frame on text: the splash's window-sized
// pictograph alone is some 650 thousand pixels for FreeType to render, make
// bold and blend. The picture drawn is kept, run-length coded (the splash is
// mostly one colour), under a name that says all that drew it: every element
// with everything that draws it, the scale, the font files and the font
// renderer. The next start whose first frame has the same name copies the
// picture instead of drawing it; any other name draws, and is kept instead.
#include <SDL.h>

#include <string>

namespace qs {

class FirstFrameMemo {
 public:
  explicit FirstFrameMemo(std::string file) : file_(std::move(file)) {}

  // Writes the kept picture into `area` of `target` (32 bits a pixel) when
  // it has this name, size and pixel format; false, with `target` left as it
  // may be, when it has not or cannot be read.
  bool recall(const std::string& name, SDL_Surface* target, const SDL_Rect& area) const;
  // Keeps `area` of `source` under `name`, replacing what was kept.
  bool keep(const std::string& name, const SDL_Surface* source, const SDL_Rect& area) const;

 private:
  std::string file_;
};

}  // namespace qs
