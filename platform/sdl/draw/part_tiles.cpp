#include "platform/sdl/draw/part_tiles.h"

#include <cmath>

#include "platform/sdl/draw/texture_cache.h"
#include "platform/sdl/text/font_cache.h"

namespace qs {
namespace {

int toPixels(int v, Units u) {
  return u == Units::Twips ? static_cast<int>(std::lround(v / static_cast<double>(kTwipsPerPixel))) : v;
}

std::string placeOf(const SDL_Rect& r) {
  return std::to_string(r.x) + ',' + std::to_string(r.y) + ',' + std::to_string(r.w) + ',' + std::to_string(r.h);
}

// What draws the element at `area`; the text last, after its length.
std::string lookOf(const Element& e, const SDL_Rect& area, int scale) {
  std::string look = std::to_string(static_cast<int>(e.kind())) + ' ' + placeOf(area) + ' ';
  switch (e.kind()) {
    case Element::Kind::Label: {
      const auto& l = static_cast<const Label&>(e);
      const Font& f = l.font();
      look += f.face + ' ' + std::to_string(FontCache::pixelSize(f.size, scale)) + (f.bold ? "b" : "") +
              (f.italic ? "i" : "") + ' ' + l.fore().hex() +
              (l.transparent() ? std::string(" -") : ' ' + l.back().hex()) + ' ' +
              std::to_string(static_cast<int>(l.align())) + (l.caption() == l.designCaption() ? " = " : " ~ ") +
              std::to_string(l.caption().size()) + ':' + l.caption();
      break;
    }
    case Element::Kind::Image: look += static_cast<const Image&>(e).picture(); break;
    case Element::Kind::Shape: look += static_cast<const Shape&>(e).border().hex(); break;
    case Element::Kind::Box: break;
  }
  return look;
}

}  // namespace

SDL_Rect drawnArea(const Container& c, const Element& e, int ox, int oy, int scale) {
  const Units u = c.units();
  return SDL_Rect{(ox + toPixels(e.left(), u)) * scale, (oy + toPixels(e.top(), u)) * scale,
                  toPixels(e.width(), u) * scale, toPixels(e.height(), u) * scale};
}

std::optional<std::string> PartTiles::nameOf(const Form& form, int scale, const SDL_Rect& part) {
  if (part.w * part.h > kMaxPixels) return std::nullopt;
  return drawingOf(form, scale, part);
}

std::optional<std::string> PartTiles::drawingOf(const Form& form, int scale, const SDL_Rect& part) {
  if (!form.printed().empty()) return std::nullopt;
  std::string name = "\x02part\x1f" + placeOf(part) + '@' + std::to_string(scale) + ' ' + form.back().hex();
  const auto& kids = form.children();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    const Element& e = **it;
    const SDL_Rect area = drawnArea(form, e, 0, 0, scale);
    if (!e.visible() || !SDL_HasIntersection(&area, &part)) continue;
    if (e.kind() == Element::Kind::Box) return std::nullopt;
    name += '\x1f' + lookOf(e, area, scale);
  }
  return name;
}

bool PartTiles::draw(TextureCache& textures, SDL_Renderer* renderer, const std::string& name, const SDL_Rect& part) {
  const Drawing* kept = textures.find(name);
  if (!kept) return false;
  SDL_RenderSetClipRect(renderer, &part);
  SDL_RenderCopy(renderer, kept->texture, nullptr, &part);
  ++copies_;
  return true;
}

void PartTiles::drawn(TextureCache& textures, SDL_Renderer* renderer, const std::string& name, const SDL_Rect& part) {
  if (seen_.size() >= kMaxNames) seen_.clear();
  if (++seen_[name] < 2) return;
  // The part's place on the target: reading ignores the viewport's origin.
  SDL_Rect viewport;
  SDL_RenderGetViewport(renderer, &viewport);
  SDL_Rect at{part.x + viewport.x, part.y + viewport.y, part.w, part.h};
  bool read = false;
  SDL_Texture* t = textures.texture(part.w, part.h, [&](void* pixels, int pitch) {
    read = SDL_RenderReadPixels(renderer, &at, SDL_PIXELFORMAT_ARGB8888, pixels, pitch) == 0;
  });
  if (t && !read) SDL_DestroyTexture(t);
  if (!t || !read) return;
  SDL_SetTextureBlendMode(t, SDL_BLENDMODE_NONE);
  textures.keep(name, Drawing{t, {0, 0, part.w, part.h}, part.w});
}

}  // namespace qs
