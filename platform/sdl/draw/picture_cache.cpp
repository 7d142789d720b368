#include "platform/sdl/draw/picture_cache.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace qs {
namespace {

std::int64_t le(const unsigned char* p, int n) {
  std::uint32_t v = 0;
  for (int i = n - 1; i >= 0; --i) v = v << 8 | p[i];
  return n == 2 ? static_cast<std::int64_t>(v) : static_cast<std::int64_t>(static_cast<std::int32_t>(v));
}

}  // namespace

std::string bmpProblem(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return "the file is missing";
  std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return "the file cannot be read";
  if (size > PictureCache::kMaxFileBytes) return "it is larger than any picture the game shows";
  // The file header (14 bytes), then the size of the info header and the
  // width and height: 16-bit in the oldest (12-byte) header, 32-bit and
  // signed (negative heights run top down) in the others.
  unsigned char h[26] = {};
  std::ifstream in(path, std::ios::binary);
  in.read(reinterpret_cast<char*>(h), sizeof h);
  if (in.gcount() < 18 || std::memcmp(h, "BM", 2) != 0) return "it is not a BMP picture";
  std::int64_t info = le(h + 14, 4);
  bool core = info == 12;
  if (info < 12 || (!core && in.gcount() < 26)) return "its header is cut short";
  std::int64_t width = core ? le(h + 18, 2) : le(h + 18, 4);
  std::int64_t height = std::abs(core ? le(h + 20, 2) : le(h + 22, 4));
  if (width <= 0 || height <= 0) return "it has no pixels";
  if (width > PictureCache::kMaxSide || height > PictureCache::kMaxSide)
    return "it is " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels, larger than any picture the game shows";
  return {};
}

PictureCache::~PictureCache() {
  for (auto& [file, s] : pictures_) SDL_FreeSurface(s);
}

SDL_Surface* PictureCache::get(const std::string& file) {
  if (file.empty()) return nullptr;
  auto [it, fresh] = pictures_.try_emplace(file, nullptr);
  if (fresh) {
    std::string p = path(file);
    std::string why = bmpProblem(p);
    if (why.empty()) {
      it->second = SDL_LoadBMP(p.c_str());
      if (!it->second) why = SDL_GetError();
    }
    if (!why.empty()) report_.cannotShow(p, why);
  }
  return it->second;
}

void PictureCache::refuse(const std::string& file, const std::string& why) {
  auto it = pictures_.find(file);
  if (it == pictures_.end() || !it->second) return;
  SDL_FreeSurface(it->second);
  it->second = nullptr;
  report_.cannotShow(path(file), why);
}

}  // namespace qs
