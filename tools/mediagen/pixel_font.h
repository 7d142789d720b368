// A small hand-drawn pixel font (7 pixels tall, proportional) and the
// bitmap of the sword kanji used on one of the title pictures.
#pragma once

#include <span>
#include <string_view>

namespace qs::mediagen {

// Rows of '#' (ink) and '.' (clear), top row first.
struct Bitmap {
  std::span<const std::string_view> rows;

  int width() const { return rows.empty() ? 0 : static_cast<int>(rows.front().size()); }
  int height() const { return static_cast<int>(rows.size()); }
  bool lit(int x, int y) const { return rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#'; }
};

struct Glyph {
  char32_t code;
  Bitmap bitmap;
};

inline constexpr int kFontHeight = 7;
inline constexpr int kLetterSpacing = 1;

std::span<const Glyph> fontGlyphs();
const Glyph* findGlyph(char32_t code);  // nullptr when the font lacks it
// Width in pixels of a line of text; throws for characters not in the font.
int textWidth(std::u32string_view text);

const Bitmap& samuraiKanji();  // 侍

}  // namespace qs::mediagen
