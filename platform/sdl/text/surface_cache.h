#pragma once
#include <SDL.h>

#include <functional>
#include <list>
#include <string>
#include <unordered_map>

namespace qs {

// Rendered text kept as surfaces by what was drawn, the least recently used
// freed first once their pixels pass the budget. A surface larger than the
// whole budget (a glyph that fills a window) is not kept: the texture made
// from it holds the same pixels already.
class SurfaceCache {
 public:
  explicit SurfaceCache(std::size_t budgetBytes) : budget_(budgetBytes) {}
  ~SurfaceCache();
  SurfaceCache(const SurfaceCache&) = delete;
  SurfaceCache& operator=(const SurfaceCache&) = delete;

  // The surface for `key`, made with `make` the first time (which may fail
  // with nullptr). The surface stays valid until the next call, or until
  // letGo() for one too large to keep.
  SDL_Surface* get(const std::string& key, const std::function<SDL_Surface*()>& make);
  // Frees the last surface made too large to keep, once its texture holds it.
  void letGo();

  std::size_t bytes() const { return bytes_; }
  void clear();
  std::size_t size() const { return order_.size(); }

 private:
  struct Entry {
    std::string key;
    SDL_Surface* surface;
  };
  static std::size_t sizeOf(const SDL_Surface* s) { return static_cast<std::size_t>(s->pitch) * static_cast<std::size_t>(s->h); }

  std::size_t budget_;
  std::size_t bytes_ = 0;
  std::list<Entry> order_;  // most recently used first
  SDL_Surface* passing_ = nullptr;  // the last surface made too large to keep
  std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};

}  // namespace qs
