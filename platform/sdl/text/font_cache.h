#pragma once
#include <SDL_ttf.h>

#include <list>
#include <string>
#include <string_view>

#include "platform/sdl/text/font_finder.h"
#include "runtime/element.h"

namespace qs {

// Opened fonts by face, pixel size and style, the least recently used closed
// first. The font returned stays open until the next call.
class FontCache {
 public:
  explicit FontCache(FaceTable faces) : faces_(std::move(faces)) {}
  const FaceTable& faces() const { return faces_; }
  ~FontCache();
  FontCache(const FontCache&) = delete;
  FontCache& operator=(const FontCache&) = delete;

  // Points at 96 dpi, times the window scale.
  static int pixelSize(double points, int scale);

  // The font that draws `f` at the scale; nullptr when its file cannot be
  // opened. A face name the table does not hold throws std::invalid_argument
  // here and in key() and faceFor().
  TTF_Font* get(const Font& f, int scale);
  // The same at a size in pixels.
  TTF_Font* atPixels(const Font& f, int pixels);
  // Names the font get() returns, for caching what it draws.
  std::string key(const Font& f, int scale) const;
  // The text the font draws for a caption: symbol codes become pictographs.
  std::string drawnText(const Font& f, std::string_view text) const;
  // Whether `f` is the regular file of its face made bold by SDL_ttf, with
  // `f` without bold drawing that same file in the same style otherwise.
  bool syntheticBold(const Font& f) const;
  // The face that stands in for a scene's face name.
  const FoundFace& faceFor(const std::string& name) const;

  std::size_t openCount() const { return open_.size(); }
  void closeAll();

 private:
  struct Entry {
    std::string key;
    TTF_Font* font;
  };
  std::string keyAt(const Font& f, int pixels) const;
  static constexpr std::size_t kMaxOpen = 32;

  FaceTable faces_;
  std::list<Entry> open_;  // most recently used first
};

}  // namespace qs
