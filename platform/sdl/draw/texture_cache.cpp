#include "platform/sdl/draw/texture_cache.h"

namespace qs {

bool TextureCache::alive(SDL_Renderer* renderer, const Store& s) {
  if (s.windowId == 0) return true;  // lives for one frame, within which it is alive
  SDL_Window* w = SDL_GetWindowFromID(s.windowId);
  return w && SDL_GetRenderer(w) == renderer;
}

void TextureCache::erase(Order::iterator it, Store& s, bool destroy) {
  if (destroy && it->drawing.texture) SDL_DestroyTexture(it->drawing.texture);
  bytes_ -= it->bytes;
  s.index.erase(it->key);
  order_.erase(it);
}

TextureCache::Stores::iterator TextureCache::forget(Stores::iterator it, bool destroy) {
  Store& s = it->second;
  while (!s.index.empty()) erase(s.index.begin()->second, s, destroy);
  return stores_.erase(it);
}

void TextureCache::clear() {
  for (auto it = stores_.begin(); it != stores_.end();) it = forget(it, alive(it->first, it->second));
  current_ = stores_.end();
}

void TextureCache::begin(SDL_Renderer* renderer) {
  for (auto it = stores_.begin(); it != stores_.end();)
    it = alive(it->first, it->second) ? std::next(it) : forget(it, false);
  SDL_Window* w = SDL_RenderGetWindow(renderer);
  current_ = stores_.try_emplace(renderer).first;
  current_->second.windowId = w ? SDL_GetWindowID(w) : 0;
}

void TextureCache::end() {
  if (current_ != stores_.end() && current_->second.windowId == 0) forget(current_, true);
  current_ = stores_.end();
}

const Drawing* TextureCache::find(const std::string& key) {
  if (current_ == stores_.end()) return nullptr;
  auto it = current_->second.index.find(key);
  if (it == current_->second.index.end()) return nullptr;
  order_.splice(order_.begin(), order_, it->second);
  return &it->second->drawing;
}

const Drawing& TextureCache::keep(const std::string& key, Drawing d) {
  Store& s = current_->second;
  if (auto old = s.index.find(key); old != s.index.end()) erase(old->second, s, true);
  const std::size_t bytes = key.size() + sizeof(Entry) + 4 * static_cast<std::size_t>(d.ink.w) * d.ink.h;
  order_.push_front(Entry{current_->first, key, d, bytes});
  s.index.emplace(key, order_.begin());
  bytes_ += bytes;
  while (bytes_ > budget_ && order_.size() > 1) erase(std::prev(order_.end()), stores_[order_.back().renderer], true);
  return order_.front().drawing;
}

SDL_Texture* TextureCache::texture(SDL_Surface* surface) const {
  SDL_Texture* t = SDL_CreateTextureFromSurface(current_->first, surface);
  if (t) {
    SDL_SetTextureScaleMode(t, SDL_ScaleModeNearest);
    SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
  }
  return t;
}

SDL_Texture* TextureCache::texture(int width, int height, const std::function<void(void*, int)>& write) const {
  SDL_Texture* t =
      SDL_CreateTexture(current_->first, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
  void* pixels = nullptr;
  int pitch = 0;
  if (!t) return nullptr;
  if (SDL_LockTexture(t, nullptr, &pixels, &pitch) != 0) {
    SDL_DestroyTexture(t);
    return nullptr;
  }
  write(pixels, pitch);
  SDL_UnlockTexture(t);
  SDL_SetTextureScaleMode(t, SDL_ScaleModeNearest);
  SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
  return t;
}

std::size_t TextureCache::count(SDL_Renderer* renderer) const {
  auto it = stores_.find(renderer);
  return it == stores_.end() ? 0 : it->second.index.size();
}

}  // namespace qs
