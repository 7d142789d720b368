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
// A picture is taken only from the build that kept it (what draws may have
// changed in the code: another colour of text), whole (disk_cache.h).
#include <SDL.h>

#include <string>

#include "platform/sdl/disk_cache.h"

namespace qs {

class FirstFrameMemo {
 public:
  // The splash at scale 3 codes to some 40 kB; a picture that codes to
  // more than 4 MB is drawn at each start instead.
  explicit FirstFrameMemo(std::string file, std::string build = programBuild())
      : cache_(std::move(file), "first-frame", 4u << 20, std::move(build)) {}

  // Writes the kept picture into `area` of `target` (32 bits a pixel) when
  // this build kept it under this name, size and pixel format; false, with
  // `target` left as it may be, when it did not, or the file is anything but
  // that picture whole.
  bool recall(const std::string& name, SDL_Surface* target, const SDL_Rect& area) const;
  // Keeps `area` of `source` under `name`, replacing what was kept.
  bool keep(const std::string& name, const SDL_Surface* source, const SDL_Rect& area) const;

 private:
  DiskCache cache_;
};

}  // namespace qs
