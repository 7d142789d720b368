#include <vector>

#include "bmp_writer.h"
#include "paint_support.h"
#include "platform/sdl/text/glyph_map.h"
#include "platform/sdl/text/label_layout.h"
#include "support/png_file.h"

namespace qs::test {
namespace {

// Green as the 16-colour pictures'.
constexpr Color kRed = Color::rgb(255, 0, 0), kBlue = Color::rgb(0, 0, 255), kGreen = Color::rgb(0, 128, 0);

LabelDesign text(std::string caption, Font font, Rect r, Align a = Align::Left, Color fore = colors::black) {
  return LabelDesign{std::move(caption), std::move(font), a, fore, r};
}

// Text is kept cropped to its ink; drawn, it is SDL_ttf's whole line blended
// at the aligned place, pixel for pixel.
TEST(Painting, ALineIsSdlTtfsWholeLineAtItsAlignedPlace) {
  const std::tuple<const char*, Font, Align> cases[] = {
      {"Select Game!!", gothic(20.25, true), Align::Centre},
      {"Push Z key", gothic(12), Align::Left},
      {"gyp", gothic(14), Align::Right},
      {"侍", minchoFullWidth(72, true), Align::Centre},  // bold made in one pass
  };
  const int scale = 2;
  const Color back = Color::rgb(128, 0, 128), fore = Color::rgb(255, 255, 64);
  FontCache& fonts = painter().fonts();
  for (const auto& [caption, font, align] : cases) {  // each line fits its label
    Sheet f(300, 200, Units::Pixels, back);
    f.label({caption, font, align, fore, {10, 10, 280, 180}});
    const std::string text = fonts.drawnText(font, caption);
    SurfacePtr line(TTF_RenderUTF8_Blended(fonts.get(font, scale), text.c_str(), {fore.r, fore.g, fore.b, 255}));
    SurfacePtr expected = draw(Sheet(300, 200, Units::Pixels, back), scale);  // the back alone
    ASSERT_TRUE(line && expected);
    SDL_Rect at{alignedLeft(align, 10 * scale, 280 * scale, line->w), 10 * scale, line->w, line->h};
    SDL_BlitSurface(line.get(), nullptr, expected.get(), &at);
    EXPECT_EQ(differingPixels(draw(f, scale).get(), expected.get()), 0) << caption;
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
      EXPECT_TRUE(ink.height() <= box && ink.width() <= box)
          << code << " at " << points << ": " << ink.width() << " x " << ink.height() << " in " << box;
    }
}

// Ink stays inside its label; a caption wider than it wraps onto further lines.
TEST(Painting, CaptionsWrapAndTheirInkStaysInsideTheLabel) {
  auto inkFor = [](const char* caption, Font font, int width) {
    Sheet f(300, 120);
    f.label(text(caption, font, {20, 30, width, 40}));
    return inkAll(draw(f).get(), colors::white);
  };
  const int line = painter().measurer().lineHeight(gothic(12));
  const Ink big = inkFor("Wide WWWW text", gothic(36, true), 80), narrow = inkFor("alpha beta gamma", gothic(12), 60);
  EXPECT_TRUE(big.count > 50 && big.left >= 20 && big.top >= 30 && big.right < 100 && big.bottom < 70);
  EXPECT_GT(narrow.height(), 2 * line) << "three words, three lines";
  EXPECT_LE(narrow.right, 79);
}

// Elements land where their rectangles say, cover in their order, clip
// their children, and hidden ones draw nothing.
TEST(Painting, ElementsLandWhereTheirRectanglesSayAndCoverInOrder) {
  using Pixels = std::vector<std::tuple<int, int, Color>>;
  mediagen::IndexedImage quads(2, 2, mediagen::kRed);  // red, blue over green, black
  quads.set(1, 0, mediagen::kBlue), quads.set(0, 1, mediagen::kGreen), quads.set(1, 1, mediagen::kBlack);
  writeBytes(kPictureDir.file("quads.bmp"), mediagen::encodeBmp4(quads));
  auto opaque = [](Label& l, Color c) { l.setTransparent(false), l.setBack(c); };
  auto pair = [&](Sheet& f) {
    opaque(f.label(text("", gothic(9), {0, 0, 40, 20})), kRed);
    return &f.label(text("", gothic(9), {20, 0, 40, 20}));
  };
  const Color white = colors::white;
  const struct {
    const char* what;
    Units units;
    std::function<void(Sheet&)> build;
    int scale;
    Pixels want;
  } cases[] = {
      // clang-format off
      {"a box clipping its child, in twips", Units::Twips, [&](Sheet& f) {
         Box& b = f.box({150, 300, 600, 450}, kGreen);  // 10, 20, 40 x 30 pixels
         opaque(f.labelIn(b, text("", gothic(9), {-5, -5, 200, 200})), kRed);
         f.box({1200, 300, 150, 150}, kBlue);  // an empty box shows its back
       }, 1, {{10, 20, kRed}, {49, 49, kRed}, {9, 20, white}, {50, 49, white}, {10, 19, white}, {10, 50, white}, {85, 25, kBlue}}},
      {"the later below", Units::Pixels, [&](Sheet& f) { opaque(*pair(f), kBlue); }, 1, {{30, 10, kRed}, {50, 10, kBlue}}},
      {"raised by zorder", Units::Pixels, [&](Sheet& f) { Label* b = pair(f); opaque(*b, kBlue), b->zOrder(); }, 1,
       {{30, 10, kBlue}, {10, 10, kRed}}},
      {"hidden", Units::Pixels, [&](Sheet& f) {
         f.label(text("Hidden", gothic(20), {0, 0, 80, 40})).setVisible(false);
         f.shape({0, 0, 80, 80}, colors::black).setVisible(false);
         Box& b = f.box({10, 10, 60, 60}, kRed);
         f.labelIn(b, text("Inside", gothic(12), {0, 0, 60, 30})), b.setVisible(false);
       }, 1, {{0, 0, white}, {79, 79, white}, {10, 10, white}, {40, 40, white}}},
      {"a shape's outline, scale times as thick", Units::Pixels, [](Sheet& f) { f.shape({5, 5, 20, 10}, kBlue); }, 2,
       {{10, 10, kBlue}, {11, 11, kBlue}, {12, 12, white}, {49, 29, kBlue}, {48, 28, kBlue}, {47, 27, white},
        {50, 30, white}, {9, 9, white}, {28, 18, white}}},
      {"a picture stretched, a missing one", Units::Pixels,
       [](Sheet& f) { f.image({10, 10, 40, 40}, "quads.bmp"), f.image({0, 0, 60, 60}, "no-such-picture.bmp"); }, 1, {{10, 10, kRed}, {29, 29, kRed}, {30, 29, kBlue}, {29, 30, kGreen}, {49, 49, colors::black},
              {50, 50, white}, {9, 9, white}, {55, 5, white}}},
      // clang-format on
  };
  for (const auto& c : cases) {
    Sheet f(100, 100, c.units);
    c.build(f);
    const SurfacePtr s = draw(f, c.scale);
    for (const auto& [x, y, color] : c.want)
      EXPECT_EQ(pixel(s.get(), x, y), color) << c.what << " at " << x << "," << y;
  }
}

// Printed text lies beneath the elements, at the positions of its container.
TEST(Painting, PrintedTextLiesBeneathTheElements) {
  Sheet f(200, 60);
  f.print("MMMMMMMMMMMM", false);
  Label& cover = f.label(text("", gothic(9), {0, 0, 60, 60}));
  cover.setTransparent(false), cover.setBack(colors::white);
  Box& b = f.box({100, 30, 100, 30}, colors::white);
  b.setCurrentX(10), b.print("M");
  const SurfacePtr s = draw(f);
  const Ink form = inkIn(s.get(), colors::white, SDL_Rect{0, 0, 200, 30}),
            box = inkIn(s.get(), colors::white, {100, 30, 100, 30});
  EXPECT_TRUE(form.any() && form.left >= 60) << "the label covers the start of the run";
  EXPECT_TRUE(box.any() && box.left >= 110 && box.left < 114) << box.left;
}

TEST(Painting, PngHoldsTheSameDrawingAtTheScale) {
  Sheet f(120, 50);
  f.label(text("Presents", gothic(16, true, true), {0, 0, 120, 40}, Align::Centre, Color::rgb(160, 64, 32)));
  f.shape({0, 0, 120, 50}, colors::black);
  TempDir tmp;
  std::string file = tmp.file("painter_shot.png"), error;
  ASSERT_TRUE(painter().writePng(f, file, 2, error)) << error;
  auto png = readPng(file, error);
  ASSERT_TRUE(png) << error;
  ASSERT_TRUE(png->width == 240 && png->height == 100);
  const SurfacePtr shot(
      SDL_CreateRGBSurfaceWithFormatFrom(png->pixels.data(), 240, 100, 8 * png->channels, 240 * png->channels,
                                         png->channels == 4 ? SDL_PIXELFORMAT_RGBA32 : SDL_PIXELFORMAT_RGB24));
  EXPECT_EQ(differingPixels(draw(f, 2).get(), shot.get()), 0);
  EXPECT_FALSE(painter().writePng(f, "/nonexistent-dir/shot.png", 1, error));
  EXPECT_NE(error.find("/nonexistent-dir/shot.png"), std::string::npos) << error;
}

}  // namespace
}  // namespace qs::test
