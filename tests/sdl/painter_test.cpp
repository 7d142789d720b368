#include <cstdio>
#include <vector>

#include "paint_support.h"
#include "platform/sdl/glyph_map.h"
#include "platform/sdl/label_layout.h"
#include "support/media_bytes.h"
#include "support/png_file.h"

namespace qs::test {
namespace {

constexpr Color kRed = Color::rgb(255, 0, 0);
constexpr Color kBlue = Color::rgb(0, 0, 255);
constexpr Color kGreen = Color::rgb(0, 160, 0);

LabelDesign text(std::string caption, Font font, Rect r, Align a = Align::Left, Color fore = colors::black) {
  return LabelDesign{std::move(caption), std::move(font), a, fore, r};
}

TEST(Painting, LabelInkStaysInsideItsRectangle) {
  Sheet f(200, 100);
  // 36 pt text is taller and wider than the label.
  f.label(text("Wide WWWW text", gothic(36, true), {20, 30, 80, 20}));
  auto s = draw(f);
  SDL_Rect r{20, 30, 80, 20};
  EXPECT_GT(inkIn(s.get(), colors::white, r).count, 50);
  EXPECT_EQ(inkOutside(s.get(), colors::white, r), 0);
}

// Text is kept cropped to its ink; drawn, it is SDL_ttf's whole line blended
// at the aligned place, pixel for pixel.
TEST(Painting, ALineIsSdlTtfsWholeLineAtItsAlignedPlace) {
  struct Case {
    const char* caption;
    Font font;
    Align align;
  };
  const Case cases[] = {
      {"Select Game!!", gothic(20.25, true), Align::Centre},
      {"Push Z key", gothic(12), Align::Left},
      {"gyp", gothic(14), Align::Right},
      {"侍", minchoFullWidth(72, true), Align::Centre},  // bold made in one pass
  };
  const int scale = 2;
  const Color back = Color::rgb(128, 0, 128), fore = Color::rgb(255, 255, 64);
  for (const Case& c : cases) {
    Sheet f(300, 200, Units::Pixels, back);
    f.label({c.caption, c.font, c.align, fore, {10, 10, 280, 180}});
    SurfacePtr drawn = draw(f, scale);
    FontCache& fonts = painter().fonts();
    TTF_Font* ttf = fonts.get(c.font, scale);
    ASSERT_TRUE(ttf);
    SurfacePtr line(TTF_RenderUTF8_Blended(ttf, fonts.drawnText(c.font, c.caption).c_str(), SDL_Color{255, 255, 64, 255}));
    SurfacePtr expected(SDL_CreateRGBSurfaceWithFormat(0, 300 * scale, 200 * scale, 32, SDL_PIXELFORMAT_RGB888));
    ASSERT_TRUE(line && expected);
    SDL_FillRect(expected.get(), nullptr, SDL_MapRGB(expected->format, back.r, back.g, back.b));
    SDL_Rect at{alignedLeft(c.align, 10 * scale, 280 * scale, line->w), 10 * scale, line->w, line->h};
    const SDL_Rect label{10 * scale, 10 * scale, 280 * scale, 180 * scale};
    SDL_SetClipRect(expected.get(), &label);
    SDL_SetSurfaceBlendMode(line.get(), SDL_BLENDMODE_BLEND);
    SDL_BlitSurface(line.get(), nullptr, expected.get(), &at);
    EXPECT_EQ(differingPixels(drawn.get(), expected.get()), 0) << c.caption;
  }
}

// As the glyph font's: inside the em square, resting on the baseline 0.9 em
// below the line's top, a larger pictograph drawn smaller.
TEST(Painting, PictographsRestOnTheBaselineInsideTheEmSquare) {
  for (const double points : {27.75, 48.0, 100.0})
    for (const char* code : {"J", "N", ">", "''"}) {
      Sheet f(300, 300);
      f.label(text(code, wingdings(points, true), {10, 10, 280, 280}));
      const Ink ink = inkAll(draw(f).get(), colors::white);
      const int box = symbolBox(FontCache::pixelSize(points, 1), 1);
      EXPECT_EQ(ink.bottom, 10 + box - 1) << code << " at " << points;
      EXPECT_LE(ink.height(), box) << code << " at " << points;
      EXPECT_LE(ink.width(), box) << code << " at " << points;
    }
}

TEST(Painting, CaptionsWiderThanTheLabelWrapOntoFurtherLines) {
  auto inkFor = [](int width) {
    Sheet f(300, 120);
    f.label(text("alpha beta gamma", gothic(12), {0, 0, width, 120}));
    return inkAll(draw(f).get(), colors::white);
  };
  int line = painter().measurer().lineHeight(gothic(12));
  Ink wide = inkFor(300), narrow = inkFor(60);
  EXPECT_LT(wide.height(), line + 1);
  EXPECT_GT(narrow.height(), 2 * line) << "three words, three lines";
  EXPECT_LE(narrow.right, 59);
}

TEST(Painting, BoxClipsItsChildrenAndFormTwipsBecomePixels) {
  Sheet f(100, 100, Units::Twips);
  Box& b = f.box({150, 300, 600, 450}, kGreen);  // 10, 20, 40 x 30 pixels
  Label& inside = f.labelIn(b, text("", gothic(9), {-5, -5, 200, 200}));
  inside.setTransparent(false);
  inside.setBack(kRed);
  f.box({1200, 300, 150, 150}, kBlue);  // an empty box shows its back
  auto s = draw(f);
  SDL_Rect area{10, 20, 40, 30};
  EXPECT_EQ(inkIn(s.get(), kRed, area).count, 0) << "the child covers the whole box";
  EXPECT_EQ(inkAll(s.get(), kRed).count, s->w * s->h - 40 * 30) << "and nothing outside it";
  EXPECT_EQ(pixel(s.get(), 85, 25), kBlue);
}

TEST(Painting, TopmostElementsCoverLowerOnesAndZOrderRaises) {
  Sheet f(60, 20);
  Label& a = f.label(text("", gothic(9), {0, 0, 40, 20}));
  Label& b = f.label(text("", gothic(9), {20, 0, 40, 20}));
  a.setTransparent(false), a.setBack(kRed);
  b.setTransparent(false), b.setBack(kBlue);
  EXPECT_EQ(pixel(draw(f).get(), 30, 10), kRed);
  b.zOrder();
  auto s = draw(f);
  EXPECT_EQ(pixel(s.get(), 30, 10), kBlue);
  EXPECT_EQ(pixel(s.get(), 10, 10), kRed);
}

TEST(Painting, PrintedTextLiesBeneathTheElements) {
  Sheet f(200, 60);
  f.print("MMMMMMMMMMMM", false);
  Label& cover = f.label(text("", gothic(9), {0, 0, 60, 60}));
  cover.setTransparent(false);
  cover.setBack(colors::white);
  Box& b = f.box({100, 30, 100, 30}, colors::white);
  b.setCurrentX(10);
  b.print("M");
  auto s = draw(f);
  Ink form = inkIn(s.get(), colors::white, SDL_Rect{0, 0, 200, 30});
  ASSERT_TRUE(form.any());
  EXPECT_GE(form.left, 60) << "the label covers the start of the run";
  Ink box = inkIn(s.get(), colors::white, SDL_Rect{100, 30, 100, 30});
  ASSERT_TRUE(box.any());
  EXPECT_GE(box.left, 110);
  EXPECT_LT(box.left, 114) << "printed positions are inside the box";
}

TEST(Painting, HiddenElementsDrawNothing) {
  Sheet f(80, 80);
  f.label(text("Hidden", gothic(20), {0, 0, 80, 40})).setVisible(false);
  f.shape({0, 0, 80, 80}, colors::black).setVisible(false);
  Box& b = f.box({10, 10, 60, 60}, kRed);
  f.labelIn(b, text("Inside", gothic(12), {0, 0, 60, 30}));
  b.setVisible(false);
  EXPECT_FALSE(inkAll(draw(f).get(), colors::white).any());
}

TEST(Painting, ShapeOutlineIsOnePixelTimesTheScale) {
  Sheet f(30, 20);
  f.shape({5, 5, 20, 10}, kBlue);
  auto one = draw(f, 1);
  EXPECT_EQ(pixel(one.get(), 5, 5), kBlue);
  EXPECT_EQ(pixel(one.get(), 24, 14), kBlue);
  EXPECT_EQ(pixel(one.get(), 6, 6), colors::white);
  EXPECT_EQ(pixel(one.get(), 25, 15), colors::white);
  EXPECT_EQ(inkAll(one.get(), colors::white).count, 2 * 20 + 2 * 8);
  auto two = draw(f, 2);
  EXPECT_EQ(pixel(two.get(), 11, 11), kBlue);
  EXPECT_EQ(pixel(two.get(), 12, 12), colors::white);
  EXPECT_EQ(pixel(two.get(), 48, 28), kBlue);
  EXPECT_EQ(pixel(two.get(), 47, 27), colors::white);
}

// A 2 x 2 picture with 4 bits a pixel, as the media generator writes them.
void writeFourBitBmp(const std::string& path, const std::vector<Color>& palette, const int top[2], const int bottom[2]) {
  const std::uint32_t offset = 14 + 40 + 16 * 4;
  Bytes b{'B', 'M'};
  for (std::uint32_t v : {offset + 8, 0u, offset, 40u, 2u, 2u}) putLe(b, v, 4);
  putLe(b, 1, 2), putLe(b, 4, 2);
  for (std::uint32_t v : {0u, 8u, 2835u, 2835u, 16u, 0u}) putLe(b, v, 4);
  for (std::size_t i = 0; i < 16; ++i) {
    Color c = i < palette.size() ? palette[i] : colors::black;
    b.insert(b.end(), {c.b, c.g, c.r, 0});
  }
  for (const int* row : {bottom, top})  // bottom-up, rows padded to 4 bytes
    b.insert(b.end(), {static_cast<std::uint8_t>(row[0] << 4 | row[1]), 0, 0, 0});
  writeBytes(path, b);
}

TEST(Painting, PicturesStretchWithSharpPixelsAndMissingOnesDrawNothing) {
  const int top[2] = {1, 2}, bottom[2] = {3, 0};
  writeFourBitBmp(pictureDir().file("quads.bmp"), {colors::black, kRed, kBlue, kGreen}, top, bottom);
  Sheet f(60, 60);
  f.image({10, 10, 40, 40}, "quads.bmp");
  f.image({0, 0, 60, 60}, "no-such-picture.bmp");
  auto s = draw(f);
  EXPECT_EQ(pixel(s.get(), 10, 10), kRed);
  EXPECT_EQ(pixel(s.get(), 29, 29), kRed);
  EXPECT_EQ(pixel(s.get(), 30, 29), kBlue);
  EXPECT_EQ(pixel(s.get(), 29, 30), kGreen);
  EXPECT_EQ(pixel(s.get(), 49, 49), colors::black);
  EXPECT_EQ(pixel(s.get(), 50, 50), colors::white);
  EXPECT_EQ(inkOutside(s.get(), colors::white, SDL_Rect{10, 10, 40, 40}), 0);
}

TEST(Painting, PngHoldsTheSameDrawingAtTheScale) {
  Sheet f(120, 50);
  f.label(text("Presents", gothic(16, true, true), {0, 0, 120, 40}, Align::Centre, Color::rgb(160, 64, 32)));
  f.shape({0, 0, 120, 50}, colors::black);
  TempDir tmp;
  std::string file = tmp.file("painter_shot.png"), error;
  ASSERT_TRUE(painter().writePng(f, file, 2, error)) << error;
  const auto png = readPng(file, error);
  ASSERT_TRUE(png) << error;
  auto direct = draw(f, 2);
  ASSERT_EQ(png->width, 240);
  ASSERT_EQ(png->height, 100);
  int differing = 0;
  for (int y = 0; y < png->height; ++y)
    for (int x = 0; x < png->width; ++x) {
      const std::uint8_t* p = png->at(x, y);
      differing += Color::rgb(p[0], p[1], p[2]) != pixel(direct.get(), x, y);
    }
  EXPECT_EQ(differing, 0);
  EXPECT_FALSE(painter().writePng(f, "/nonexistent-dir/shot.png", 1, error));
  EXPECT_NE(error.find("/nonexistent-dir/shot.png"), std::string::npos) << error;
}

TEST(Painting, OffscreenShotsKeepNoTexturesBehind) {
  Sheet f(100, 30);
  f.label(text("Shot", gothic(12), {0, 0, 100, 30}));
  draw(f);
  draw(f);
  EXPECT_EQ(painter().textures().renderers(), 0u);
}

}  // namespace
}  // namespace qs::test
