#include "platform/sdl/text/bold_glyph.h"

#include <algorithm>
#include <vector>

namespace qs {

Embolden::Embolden(int passes) : passes_(std::max(0, passes)), weight_(static_cast<std::size_t>(passes_) + 1, 0) {
  // The coefficients, clamped at 255: clamping each step of Pascal's rule
  // clamps the result, as every term is positive.
  weight_[0] = 1;
  for (int n = 1; n <= passes_; ++n)
    for (int i = n; i > 0; --i) weight_[at(i)] = std::min(255, weight_[at(i)] + weight_[at(i - 1)]);
  while (edge_ <= passes_ && weight_[at(edge_)] < 255) ++edge_;
  far_ = passes_ - edge_;
}

void Embolden::row(const std::uint8_t* in, std::uint8_t* out, int width) const {
  // Weights from edge_ to far_ are 255 or more: any ink there fills the
  // pixel, so a running count of inked pixels stands in for their sum. The
  // few weights at either end are added one by one.
  int inked = 0;
  for (int c = 0; c < width; ++c) {
    if (edge_ <= far_) {
      if (c - edge_ >= 0 && in[c - edge_]) ++inked;
      if (c - far_ - 1 >= 0 && in[c - far_ - 1]) --inked;
    }
    int sum = 255;
    if (inked == 0) {
      sum = 0;
      const int last = std::min(passes_, c);
      for (int i = 0; i <= std::min(last, edge_ - 1); ++i) sum += weight_[at(i)] * in[c - i];
      for (int i = std::max(far_ + 1, edge_); i <= last; ++i) sum += weight_[at(i)] * in[c - i];
    }
    out[c] = static_cast<std::uint8_t>(std::min(255, sum));
  }
}

bool isSingleCodePoint(std::string_view utf8) {
  if (utf8.empty()) return false;
  const auto lead = static_cast<unsigned char>(utf8[0]);
  const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
  return utf8.size() == length;
}

BoldGlyph::BoldGlyph(TTF_Font* regular, TTF_Font* bold, int pixelSize, const char* utf8) : passes_(pixelSize / 10) {
  int height = 0;
  if (TTF_SizeUTF8(bold, utf8, &width_, &height) != 0 || width_ <= 0) return;
  // The shaded glyph's colour index is its coverage: 0 the background, 255 all ink.
  coverage_ = TTF_RenderUTF8_Shaded(regular, utf8, SDL_Color{255, 255, 255, 255}, SDL_Color{0, 0, 0, 0});
}

BoldGlyph::~BoldGlyph() { SDL_FreeSurface(coverage_); }

SDL_Rect BoldGlyph::ink() const {
  if (!coverage_) return SDL_Rect{0, 0, 0, 0};
  int left = width_, right = -1, top = coverage_->h, bottom = -1;
  for (int y = 0; y < coverage_->h; ++y) {
    const auto* row = static_cast<const std::uint8_t*>(coverage_->pixels) + y * coverage_->pitch;
    for (int x = 0; x < std::min(width_, coverage_->w); ++x) {
      if (!row[x]) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = y;
    }
  }
  if (right < 0) return SDL_Rect{0, 0, 0, 0};
  right = std::min(width_ - 1, right + passes_);
  return SDL_Rect{left, top, right - left + 1, bottom - top + 1};
}

void BoldGlyph::write(SDL_Color fore, const SDL_Rect& area, void* pixels, int pitch) const {
  if (!coverage_) return;
  const Uint32 colour = (Uint32{fore.r} << 16) | (Uint32{fore.g} << 8) | Uint32{fore.b};
  const Embolden embolden(passes_);
  std::vector<std::uint8_t> in(static_cast<std::size_t>(width_)), out(in.size());
  const int copied = std::min(width_, coverage_->w);
  for (int y = area.y; y < area.y + area.h; ++y) {
    const auto* src = static_cast<const std::uint8_t*>(coverage_->pixels) + y * coverage_->pitch;
    std::copy(src, src + copied, in.begin());
    std::fill(in.begin() + copied, in.end(), 0);
    embolden.row(in.data(), out.data(), width_);
    auto* dst = reinterpret_cast<Uint32*>(static_cast<std::uint8_t*>(pixels) + (y - area.y) * pitch);
    for (int x = area.x; x < area.x + area.w; ++x)
      dst[x - area.x] = (Uint32{out[static_cast<std::size_t>(x)]} << 24) | colour;
  }
}

}  // namespace qs
