#pragma once
#include <SDL.h>

#include <memory>
#include <string>

#include "shell/painter.h"

namespace qs {

// Draws forms with SDL2 and SDL2_ttf: text is rendered at the scaled size, so
// it stays sharp at every window scale; pictures are stretched with sharp pixels.
class SdlPainter : public FormPainter {
 public:
  // Finds the faces through fontconfig and opens them. On failure returns
  // nothing and `error` says which Debian package to install.
  static std::unique_ptr<SdlPainter> create(const std::string& programDir, std::string& error);

  // Draws the whole client area of the form at the given integer scale.
  virtual void paint(SDL_Renderer* renderer, const Form& form, int scale) = 0;
};

}  // namespace qs
