#include "platform/sdl/text/surface_cache.h"

namespace qs {

SurfaceCache::~SurfaceCache() { clear(); }

void SurfaceCache::clear() {
  for (Entry& e : order_) SDL_FreeSurface(e.surface);
  letGo();
  order_.clear();
  index_.clear();
  bytes_ = 0;
}

void SurfaceCache::letGo() {
  SDL_FreeSurface(passing_);
  passing_ = nullptr;
}

SDL_Surface* SurfaceCache::get(const std::string& key, const std::function<SDL_Surface*()>& make) {
  letGo();
  if (auto it = index_.find(key); it != index_.end()) {
    order_.splice(order_.begin(), order_, it->second);
    return it->second->surface;
  }
  SDL_Surface* s = make();
  if (!s) return nullptr;
  if (sizeOf(s) > budget_) return passing_ = s;
  order_.push_front({key, s});
  index_[key] = order_.begin();
  bytes_ += sizeOf(s);
  while (bytes_ > budget_) {
    Entry& old = order_.back();
    bytes_ -= sizeOf(old.surface);
    SDL_FreeSurface(old.surface);
    index_.erase(old.key);
    order_.pop_back();
  }
  return s;
}

}  // namespace qs
