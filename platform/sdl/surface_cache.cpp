#include "platform/sdl/surface_cache.h"

namespace qs {

SurfaceCache::~SurfaceCache() {
  for (Entry& e : order_) SDL_FreeSurface(e.surface);
}

SDL_Surface* SurfaceCache::get(const std::string& key, const std::function<SDL_Surface*()>& make) {
  if (auto it = index_.find(key); it != index_.end()) {
    order_.splice(order_.begin(), order_, it->second);
    return it->second->surface;
  }
  SDL_Surface* s = make();
  if (!s) return nullptr;
  order_.push_front({key, s});
  index_[key] = order_.begin();
  bytes_ += sizeOf(s);
  // The newest surface stays even when it alone is over the budget.
  while (bytes_ > budget_ && order_.size() > 1) {
    Entry& old = order_.back();
    bytes_ -= sizeOf(old.surface);
    SDL_FreeSurface(old.surface);
    index_.erase(old.key);
    order_.pop_back();
  }
  return s;
}

}  // namespace qs
