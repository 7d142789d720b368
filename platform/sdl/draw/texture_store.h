#pragma once
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>

namespace qs {

// Textures kept for each renderer between frames.
//
// A renderer that belongs to a window keeps its textures while they are used:
// those not drawn for kKeepFrames of its frames are freed. Destroying a
// renderer frees its textures in SDL, so a renderer whose window is gone (or
// has another renderer now) is forgotten without touching them. A renderer
// without a window (an offscreen shot) cannot be checked that way, so its
// textures live for one frame only.
class TextureStore {
 public:
  static constexpr std::uint64_t kKeepFrames = 32;
  static constexpr std::size_t kMaxTextures = 1024;

  TextureStore() = default;
  ~TextureStore();
  TextureStore(const TextureStore&) = delete;
  TextureStore& operator=(const TextureStore&) = delete;

  // Starts a frame on the renderer.
  void begin(SDL_Renderer* renderer);
  // The texture for `key` in this frame, or nullptr.
  SDL_Texture* find(const std::string& key);
  // Makes the texture for `key` from the surface (drawn with sharp pixels when stretched).
  SDL_Texture* add(const std::string& key, SDL_Surface* surface);
  // Makes the texture for `key`, `width` x `height` ARGB8888 pixels that
  // `write(pixels, pitch)` puts straight into it.
  SDL_Texture* add(const std::string& key, int width, int height, const std::function<void(void*, int)>& write);
  // Frees the texture for `key` now.
  void forget(const std::string& key);
  // Ends the frame: frees what is no longer used.
  void end();

  // Textures kept for a renderer, and renderers known.
  std::size_t count(SDL_Renderer* renderer) const;
  std::size_t renderers() const { return stores_.size(); }

 private:
  struct Entry {
    SDL_Texture* texture;
    std::uint64_t used;
  };
  struct Store {
    std::uint32_t windowId = 0;  // 0: no window
    std::uint64_t frame = 0;
    std::unordered_map<std::string, Entry> items;
  };
  static bool alive(SDL_Renderer* renderer, const Store& s);
  SDL_Texture* keep(const std::string& key, SDL_Texture* t);
  static void freeAll(Store& s);

  std::map<SDL_Renderer*, Store> stores_;
  SDL_Renderer* current_ = nullptr;
};

}  // namespace qs
