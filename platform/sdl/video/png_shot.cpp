#include "platform/sdl/video/png_shot.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

#include "platform/png/png_encoder.h"
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
  // Shots are looked at, not shipped: the quick level takes a twentieth of the time
  // of the smallest, for a file a quarter larger.
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(surface->w) * static_cast<std::size_t>(surface->h) * 3);
  if (SDL_ConvertPixels(surface->w, surface->h, surface->format->format, surface->pixels, surface->pitch,
                        SDL_PIXELFORMAT_RGB24, rgb.data(), surface->w * 3) != 0) {
    error = "cannot write " + file + ": " + SDL_GetError();
    return false;
  }
  const png::Bytes bytes = png::encode({surface->w, surface->h, 3, rgb}, png::kQuick);
  errno = 0;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    error = "cannot write " + file + ": " + (errno ? std::strerror(errno) : "the file cannot be written");
    return false;
  }
  return true;
}

}  // namespace qs
