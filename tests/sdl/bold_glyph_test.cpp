#include "platform/sdl/text/bold_glyph.h"

#include <random>

#include "paint_support.h"
#include "platform/sdl/text/text_ink.h"

namespace qs::test {
namespace {

// SDL_ttf's synthetic bold, pass by pass: each adds the left neighbour, clamped.
std::vector<std::uint8_t> smearedPassByPass(std::vector<std::uint8_t> row, int passes) {
  for (int pass = 0; pass < passes; ++pass)
    for (std::size_t c = row.size() - 1; c > 0; --c)
      row[c] = static_cast<std::uint8_t>(std::min(255, row[c] + row[c - 1]));
  return row;
}

TEST(BoldGlyph, OnePassLeavesWhatEveryPassOfAddAndClampLeaves) {
  std::mt19937 random(7);
  for (int passes : {0, 1, 2, 9, 10, 11, 80})
    for (int trial = 0; trial < 40; ++trial) {
      // Sparse faint ink as well as solid runs, where the clamping matters most.
      std::vector<std::uint8_t> row(160);
      for (auto& p : row) p = random() % 4 == 0 ? static_cast<std::uint8_t>(random() % (trial % 2 ? 3 : 256)) : 0;
      std::vector<std::uint8_t> out(row.size());
      Embolden(passes).row(row.data(), out.data(), static_cast<int>(row.size()));
      ASSERT_EQ(out, smearedPassByPass(row, passes)) << passes << " passes, trial " << trial;
    }
}

TEST(BoldGlyph, ADrawnGlyphIsSdlTtfsBoldPixelForPixel) {
  const std::tuple<Font, int, const char*> cases[] = {
      {{kSymbolFace, 200, true, false}, 3, "✇"},  // the splash's glyph, window-sized
      {{kSymbolFace, 27.75, true, false}, 2, "☠"},
      {{kUiFace, 21.75, true, true}, 2, "Z"},
      {{kMinchoFace, 48, true, false}, 1, "侍"},
  };
  FontCache& fonts = painter().fonts();
  for (const auto& [font, scale, text] : cases) {
    ASSERT_TRUE(fonts.syntheticBold(font)) << text;
    TTF_Font *regular = fonts.get({font.face, font.size, false, font.italic}, scale), *bold = fonts.get(font, scale);
    ASSERT_TRUE(regular && bold);
    const SDL_Color fore{192, 64, 32, 255};
    SurfacePtr expected(TTF_RenderUTF8_Blended(bold, text, fore));
    const BoldGlyph glyph(regular, bold, FontCache::pixelSize(font.size, scale), text);
    ASSERT_TRUE(expected && glyph.ok()) << text;
    SurfacePtr made(SDL_CreateRGBSurfaceWithFormat(0, glyph.width(), glyph.height(), 32, SDL_PIXELFORMAT_ARGB8888));
    glyph.write(fore, SDL_Rect{0, 0, glyph.width(), glyph.height()}, made->pixels, made->pitch);
    const SDL_Rect ink = glyph.ink(), inked = inkOf(expected.get());
    EXPECT_TRUE(SDL_RectEquals(&ink, &inked)) << text << ": the ink is where SDL_ttf's glyph has it";
    ASSERT_TRUE(made->w == expected->w && made->h == expected->h) << text;
    int differing = 0;  // rows, alpha and colour alike
    for (int y = 0; y < made->h; ++y)
      differing +=
          std::memcmp(static_cast<const std::uint8_t*>(made->pixels) + y * made->pitch,
                      static_cast<const std::uint8_t*>(expected->pixels) + y * expected->pitch, 4 * made->w) != 0;
    EXPECT_EQ(differing, 0) << text << " at scale " << scale;
  }
}

}  // namespace
}  // namespace qs::test
