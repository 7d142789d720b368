#include "platform/sdl/png_shot.h"

#include <SDL_image.h>

#include <algorithm>
#include <memory>

#include "runtime/form.h"

namespace qs {

SurfacePtr drawOffscreen(SdlPainter& painter, const Form& f, int scale, std::string& error) {
  scale = std::max(1, scale);
  int w = std::max(1, f.clientWidth()) * scale, h = std::max(1, f.clientHeight()) * scale;
  SurfacePtr surface(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888));
  if (!surface) {
    error = std::string("cannot make a picture of ") + f.name() + ": " + SDL_GetError();
    return nullptr;
  }
  std::unique_ptr<SDL_Renderer, void (*)(SDL_Renderer*)> r(SDL_CreateSoftwareRenderer(surface.get()),
                                                          SDL_DestroyRenderer);
  if (!r) {
    error = std::string("cannot draw ") + f.name() + ": " + SDL_GetError();
    return nullptr;
  }
  painter.paint(r.get(), f, scale);
  SDL_RenderPresent(r.get());
  return surface;
}

bool writeFormPng(SdlPainter& painter, const Form& f, const std::string& file, int scale, std::string& error) {
  SurfacePtr surface = drawOffscreen(painter, f, scale, error);
  if (!surface) return false;
  if (IMG_SavePNG(surface.get(), file.c_str()) != 0) {
    error = "cannot write " + file + ": " + IMG_GetError();
    return false;
  }
  return true;
}

}  // namespace qs
