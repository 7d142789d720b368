#pragma once
#include <cstdint>
#include <string>

namespace qs {

// A 24-bit colour. Scenes give colours either as RGB triples or as
// 0x00BBGGRR numbers (red in the low byte).
struct Color {
  std::uint8_t r = 0, g = 0, b = 0;

  static constexpr Color rgb(int r, int g, int b) {
    return Color{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
  }
  static constexpr Color bgr(std::uint32_t v) {
    return rgb(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
  }
  friend constexpr bool operator==(Color, Color) = default;

  std::string hex() const;  // "#RRGGBB"
};

namespace colors {
inline constexpr Color black = Color::rgb(0, 0, 0);
inline constexpr Color white = Color::rgb(255, 255, 255);
}  // namespace colors

}  // namespace qs
