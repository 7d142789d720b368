#include "platform/sdl/text/font_cache.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "platform/sdl/text/glyph_map.h"
#include "runtime/fonts.h"

namespace qs {

FontCache::~FontCache() { closeAll(); }

void FontCache::closeAll() {
  for (Entry& e : open_) TTF_CloseFont(e.font);
  open_.clear();
}

int FontCache::pixelSize(double points, int scale) {
  int px = static_cast<int>(std::lround(points * 96.0 / 72.0));
  return std::max(1, px) * std::max(1, scale);
}

// A face no scene should name is a fault in the scene, never drawn with
// another face in its place.
const FoundFace& FontCache::faceFor(const std::string& name) const {
  if (auto it = faces_.find(name); it != faces_.end()) return it->second;
  throw std::invalid_argument("no font stands in for the face \"" + name + "\"");
}

bool FontCache::syntheticBold(const Font& f) const {
  if (!f.bold) return false;
  const FoundFace& face = faceFor(f.face);
  const FontFile& bold = face.style(true, f.italic);
  const FontFile& regular = face.style(false, f.italic);
  return bold.syntheticBold && bold.path == regular.path && bold.index == regular.index &&
         bold.syntheticItalic == regular.syntheticItalic;
}

std::string FontCache::key(const Font& f, int scale) const { return keyAt(f, pixelSize(f.size, scale)); }

std::string FontCache::keyAt(const Font& f, int pixels) const {
  std::string k = faceFor(f.face).family;
  k += '/';
  k += std::to_string(pixels);
  if (f.bold) k += 'b';
  if (f.italic) k += 'i';
  return k;
}

std::string FontCache::drawnText(const Font& f, std::string_view text) const {
  return f.face == kSymbolFace ? symbolText(text) : std::string(text);
}

TTF_Font* FontCache::get(const Font& f, int scale) { return atPixels(f, pixelSize(f.size, scale)); }

TTF_Font* FontCache::atPixels(const Font& f, int pixels) {
  std::string k = keyAt(f, pixels);
  for (auto it = open_.begin(); it != open_.end(); ++it) {
    if (it->key != k) continue;
    open_.splice(open_.begin(), open_, it);
    return it->font;
  }
  const FontFile& file = faceFor(f.face).style(f.bold, f.italic);
  TTF_Font* font = TTF_OpenFontIndex(file.path.c_str(), pixels, file.index);
  if (!font) return nullptr;
  int style = TTF_STYLE_NORMAL;
  if (file.syntheticBold) style |= TTF_STYLE_BOLD;
  if (file.syntheticItalic) style |= TTF_STYLE_ITALIC;
  TTF_SetFontStyle(font, style);
  open_.push_front({std::move(k), font});
  while (open_.size() > kMaxOpen) {
    TTF_CloseFont(open_.back().font);
    open_.pop_back();
  }
  return font;
}

}  // namespace qs
