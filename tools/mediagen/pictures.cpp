#include "pictures.h"

#include <cmath>
#include <string_view>

#include "pixel_font.h"

namespace qs::mediagen {
namespace {

constexpr double kCentre = kPictureSize / 2.0;

// Polar position of a pixel's centre relative to (cx, cy); the angle is in
// degrees with y pointing down, so 90 is straight below the centre.
struct Polar {
  double radius;
  double degrees;
};

Polar polar(int x, int y, double cx, double cy) {
  const double dx = x + 0.5 - cx;
  const double dy = y + 0.5 - cy;
  return {std::hypot(dx, dy), std::atan2(dy, dx) * 180.0 / 3.14159265358979323846};
}

void fillRect(IndexedImage& img, int x0, int y0, int x1, int y1, std::uint8_t colour) {
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) img.set(x, y, colour);
}

// Round smiling face: 2-pixel ring, two tall eyes, a curved mouth.
void drawFace(IndexedImage& img, std::uint8_t colour) {
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const Polar p = polar(x, y, kCentre, kCentre);
      const bool ring = p.radius >= 13.0 && p.radius < 15.0;
      const bool mouth = p.radius >= 7.6 && p.radius < 9.4 && p.degrees >= 30.0 && p.degrees <= 150.0;
      if (ring || mouth) img.set(x, y, colour);
    }
  }
  fillRect(img, 10, 9, 11, 12, colour);
  fillRect(img, 20, 9, 21, 12, colour);
}

// Clears the bitmap's cell plus a one-pixel margin so lettering stays
// readable on top of the face. Neighbouring letter cells join up, so a
// line of text gets one clean band.
void clearCell(IndexedImage& img, const Bitmap& bmp, int x0, int y0, std::uint8_t background) {
  fillRect(img, x0 - 1, y0 - 1, x0 + bmp.width(), y0 + bmp.height(), background);
}

void drawInk(IndexedImage& img, const Bitmap& bmp, int x0, int y0, std::uint8_t ink) {
  for (int y = 0; y < bmp.height(); ++y)
    for (int x = 0; x < bmp.width(); ++x)
      if (bmp.lit(x, y)) img.set(x0 + x, y0 + y, ink);
}

struct Placed {
  const Bitmap* bitmap;
  int x;
  int y;
};

// Lays lines of text out centred in the lower half of the picture.
std::vector<Placed> layoutLines(std::initializer_list<std::u32string_view> lines) {
  const int count = static_cast<int>(lines.size());
  const int block = count * kFontHeight + (count - 1);
  int y = kPictureSize / 2 + (kPictureSize / 2 - block) / 2;
  std::vector<Placed> placed;
  for (std::u32string_view line : lines) {
    int x = (kPictureSize - textWidth(line)) / 2;
    for (char32_t c : line) {
      const Bitmap& bmp = findGlyph(c)->bitmap;
      placed.push_back({&bmp, x, y});
      x += bmp.width() + kLetterSpacing;
    }
    y += kFontHeight + 1;
  }
  return placed;
}

void drawPlaced(IndexedImage& img, const std::vector<Placed>& placed, std::uint8_t ink, std::uint8_t background) {
  for (const Placed& p : placed) clearCell(img, *p.bitmap, p.x, p.y, background);
  for (const Placed& p : placed) drawInk(img, *p.bitmap, p.x, p.y, ink);
}

IndexedImage facePicture(std::uint8_t face, std::uint8_t background) {
  IndexedImage img(kPictureSize, kPictureSize, background);
  drawFace(img, face);
  return img;
}

IndexedImage lettered(std::uint8_t face, std::uint8_t background, std::uint8_t ink,
                      std::initializer_list<std::u32string_view> lines) {
  IndexedImage img = facePicture(face, background);
  drawPlaced(img, layoutLines(lines), ink, background);
  return img;
}

// Lettering inside a rectangle with a pixel of clearance all round.
IndexedImage boxed(std::uint8_t face, std::uint8_t background, std::uint8_t ink, std::u32string_view text) {
  IndexedImage img = facePicture(face, background);
  const std::vector<Placed> placed = layoutLines({text});
  const int x0 = placed.front().x - 2;
  const int y0 = placed.front().y - 2;
  const int x1 = placed.front().x + textWidth(text) + 1;
  const int y1 = placed.front().y + kFontHeight + 1;
  fillRect(img, x0 - 1, y0 - 1, x1 + 1, y1 + 1, background);
  fillRect(img, x0, y0, x1, y0, ink);
  fillRect(img, x0, y1, x1, y1, ink);
  fillRect(img, x0, y0, x0, y1, ink);
  fillRect(img, x1, y0, x1, y1, ink);
  drawPlaced(img, placed, ink, background);
  return img;
}

IndexedImage withKanji(std::uint8_t face, std::uint8_t background, std::uint8_t ink) {
  IndexedImage img = facePicture(face, background);
  const Bitmap& kanji = samuraiKanji();
  const int x = (kPictureSize - kanji.width()) / 2;
  const int y = kPictureSize / 2 + (kPictureSize / 2 - kanji.height()) / 2;
  clearCell(img, kanji, x, y, background);
  drawInk(img, kanji, x, y, ink);
  return img;
}

// A question mark filling most of the picture: a thick hook curling into
// a stem, and a square dot.
IndexedImage question(std::uint8_t background, std::uint8_t ink) {
  IndexedImage img(kPictureSize, kPictureSize, background);
  constexpr double kHookX = kCentre;
  constexpr double kHookY = 10.5;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const Polar p = polar(x, y, kHookX, kHookY);
      const bool onRing = p.radius >= 4.5 && p.radius <= 8.2;
      const bool openSide = p.degrees > 90.0 && p.degrees < 160.0;
      if (onRing && !openSide) img.set(x, y, ink);
    }
  }
  fillRect(img, 14, 17, 17, 22, ink);
  fillRect(img, 14, 25, 17, 28, ink);
  return img;
}

}  // namespace

std::vector<Picture> makePictures() {
  std::vector<Picture> list;
  list.push_back({"title0.bmp", "grey smiling face on black", facePicture(kGrey, kBlack)});
  list.push_back({"title1.bmp", "cyan face on blue, \"LEVEL\" in red", lettered(kCyan, kBlue, kRed, {U"LEVEL"})});
  list.push_back(
      {"title2.bmp", "yellow face on olive, \"FINAL\" in blue", lettered(kYellow, kOlive, kBlue, {U"FINAL"})});
  list.push_back({"title3.bmp", "red face on dark red, \"Re\" over \"Birth\" in green",
                  lettered(kRed, kDarkRed, kGreen, {U"Re", U"Birth"})});
  list.push_back({"title4.bmp", "lime face on green, boxed \"QS\" in magenta", boxed(kLime, kGreen, kMagenta, U"QS")});
  list.push_back({"title5.bmp", "light grey face on white, \"FOR\" over \"EVER\" in black",
                  lettered(kLightGrey, kWhite, kBlack, {U"FOR", U"EVER"})});
  list.push_back({"title6.bmp", "magenta face on purple, the kanji \xE4\xBE\x8D in yellow",
                  withKanji(kMagenta, kPurple, kYellow)});
  list.push_back({"ques1.bmp", "large black question mark on white", question(kWhite, kBlack)});
  list.push_back({"ques2.bmp", "large yellow question mark on purple", question(kPurple, kYellow)});
  return list;
}

}  // namespace qs::mediagen
