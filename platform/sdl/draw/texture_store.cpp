#include "platform/sdl/draw/texture_store.h"

#include <iterator>

namespace qs {

TextureStore::~TextureStore() {
  for (auto& [renderer, store] : stores_)
    if (alive(renderer, store)) freeAll(store);
}

bool TextureStore::alive(SDL_Renderer* renderer, const Store& s) {
  if (s.windowId == 0) return true;  // lives for one frame, within which it is alive
  SDL_Window* w = SDL_GetWindowFromID(s.windowId);
  return w && SDL_GetRenderer(w) == renderer;
}

void TextureStore::freeAll(Store& s) {
  for (auto& [key, e] : s.items) SDL_DestroyTexture(e.texture);
  s.items.clear();
}

void TextureStore::begin(SDL_Renderer* renderer) {
  for (auto it = stores_.begin(); it != stores_.end();)
    it = alive(it->first, it->second) ? std::next(it) : stores_.erase(it);
  current_ = renderer;
  SDL_Window* w = SDL_RenderGetWindow(renderer);
  std::uint32_t id = w ? SDL_GetWindowID(w) : 0;
  Store& s = stores_[renderer];
  s.windowId = id;
  ++s.frame;
}

SDL_Texture* TextureStore::find(const std::string& key) {
  auto sit = stores_.find(current_);
  if (sit == stores_.end()) return nullptr;
  auto it = sit->second.items.find(key);
  if (it == sit->second.items.end()) return nullptr;
  it->second.used = sit->second.frame;
  return it->second.texture;
}

SDL_Texture* TextureStore::add(const std::string& key, SDL_Surface* surface) {
  if (!surface || stores_.find(current_) == stores_.end()) return nullptr;
  return keep(key, SDL_CreateTextureFromSurface(current_, surface));
}

SDL_Texture* TextureStore::add(const std::string& key, int width, int height,
                               const std::function<void(void*, int)>& write) {
  if (stores_.find(current_) == stores_.end()) return nullptr;
  SDL_Texture* t = SDL_CreateTexture(current_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
  void* pixels = nullptr;
  int pitch = 0;
  if (t && SDL_LockTexture(t, nullptr, &pixels, &pitch) != 0) {
    SDL_DestroyTexture(t);
    return nullptr;
  }
  if (t) {
    write(pixels, pitch);
    SDL_UnlockTexture(t);
  }
  return keep(key, t);
}

SDL_Texture* TextureStore::keep(const std::string& key, SDL_Texture* t) {
  if (!t) return nullptr;
  SDL_SetTextureScaleMode(t, SDL_ScaleModeNearest);
  SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
  Store& s = stores_.find(current_)->second;
  auto [it, fresh] = s.items.try_emplace(key, Entry{t, s.frame});
  if (!fresh) {
    SDL_DestroyTexture(it->second.texture);
    it->second = Entry{t, s.frame};
  }
  return t;
}

void TextureStore::forget(const std::string& key) {
  auto sit = stores_.find(current_);
  if (sit == stores_.end()) return;
  if (auto it = sit->second.items.find(key); it != sit->second.items.end()) {
    SDL_DestroyTexture(it->second.texture);
    sit->second.items.erase(it);
  }
}

void TextureStore::end() {
  auto sit = stores_.find(current_);
  current_ = nullptr;
  if (sit == stores_.end()) return;
  Store& s = sit->second;
  if (s.windowId == 0) {
    freeAll(s);
    stores_.erase(sit);
    return;
  }
  // Over the bound, only this frame's textures stay.
  std::uint64_t keep = s.items.size() > kMaxTextures ? 0 : kKeepFrames;
  for (auto it = s.items.begin(); it != s.items.end();) {
    if (it->second.used + keep < s.frame) {
      SDL_DestroyTexture(it->second.texture);
      it = s.items.erase(it);
    } else {
      ++it;
    }
  }
}

std::size_t TextureStore::count(SDL_Renderer* renderer) const {
  auto it = stores_.find(renderer);
  return it == stores_.end() ? 0 : it->second.items.size();
}

}  // namespace qs
