#pragma once
#include <SDL.h>

#include <memory>
#include <string>

#include "platform/sdl/draw/painter.h"

namespace qs {

struct SurfaceFree {
  void operator()(SDL_Surface* s) const { SDL_FreeSurface(s); }
};
using SurfacePtr = std::unique_ptr<SDL_Surface, SurfaceFree>;

// Draws the form's client area at the scale onto a new RGB surface with SDL's
// software renderer: no window and no video driver needed.
SurfacePtr drawOffscreen(SdlPainter& painter, const Form& f, int scale, std::string& error);

// The same drawing, saved as a PNG file.
bool writeFormPng(SdlPainter& painter, const Form& f, const std::string& file, int scale, std::string& error);

}  // namespace qs
