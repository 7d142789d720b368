#pragma once
// What the painter keeps drawn between frames: lines of text cropped to their
// ink, pictures, and parts of windows, each as a texture of its renderer.
//
// One rule frees them: past the budget of bytes, the least recently drawn go
// first. A renderer that belongs to a window keeps its textures while that
// window has it; destroying a renderer frees its textures in SDL, so a
// renderer whose window is gone (or has another renderer now) is forgotten
// without touching them. A renderer without a window (an offscreen shot)
// cannot be checked that way, so its textures live for one frame only.
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <string>
#include <unordered_map>

namespace qs {

// A kept drawing: its texture (none for a line of blanks, or one that could
// not be made), where its pixels lie in the whole, and the whole's width.
struct Drawing {
  SDL_Texture* texture = nullptr;
  SDL_Rect ink{0, 0, 0, 0};
  int width = 0;
};

class TextureCache {
 public:
  // The usual captions, pictures and blinking parts of every window at scale
  // 3 with room to spare; a window-sized glyph is some 2.5 MB of them.
  static constexpr std::size_t kBudgetBytes = 16u << 20;

  explicit TextureCache(std::size_t budgetBytes = kBudgetBytes) : budget_(budgetBytes) {}
  ~TextureCache() { clear(); }
  TextureCache(const TextureCache&) = delete;
  TextureCache& operator=(const TextureCache&) = delete;

  // Starts and ends a frame on the renderer; find, keep and texture work within one.
  void begin(SDL_Renderer* renderer);
  void end();
  // The drawing kept under `key` for this frame's renderer, or nullptr.
  const Drawing* find(const std::string& key);
  // Keeps `d`, its texture made by texture() in this frame, under `key`. The
  // newest drawing stays even when it alone passes the budget.
  const Drawing& keep(const std::string& key, Drawing d);
  // A texture of the surface's pixels, or of `width` x `height` ARGB8888
  // pixels that `write(pixels, pitch)` puts into it; blended, and drawn with
  // sharp pixels when stretched. nullptr when it cannot be made.
  SDL_Texture* texture(SDL_Surface* surface) const;
  SDL_Texture* texture(int width, int height, const std::function<void(void*, int)>& write) const;
  // Frees every texture kept.
  void clear();

  std::size_t count(SDL_Renderer* renderer) const;
  std::size_t renderers() const { return stores_.size(); }
  std::size_t bytes() const { return bytes_; }

 private:
  struct Entry {
    SDL_Renderer* renderer;
    std::string key;
    Drawing drawing;
    std::size_t bytes;
  };
  using Order = std::list<Entry>;  // most recently drawn first
  struct Store {
    std::uint32_t windowId = 0;  // 0: no window
    std::unordered_map<std::string, Order::iterator> index;
  };
  using Stores = std::map<SDL_Renderer*, Store>;
  static bool alive(SDL_Renderer* renderer, const Store& s);
  void erase(Order::iterator it, Store& s, bool destroy);
  Stores::iterator forget(Stores::iterator it, bool destroy);

  std::size_t budget_;
  std::size_t bytes_ = 0;
  Order order_;
  Stores stores_;
  Stores::iterator current_ = stores_.end();
};

}  // namespace qs
