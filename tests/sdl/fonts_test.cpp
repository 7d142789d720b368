#include "paint_support.h"
#include "platform/sdl/text/face_memo.h"
#include "platform/sdl/text/glyph_map.h"

namespace qs::test {
namespace {

// Drawing or measuring with a face no scene may name fails, rather than
// drawing with another face.
TEST(Fonts, AnUnknownFaceIsAnErrorNotAnotherFace) {
  const Font unknown{"MS UI Gothic", 12, false, false};
  EXPECT_THROW(painter().fonts().get(unknown, 1), std::invalid_argument);
  EXPECT_THROW(painter().measurer().textWidth(unknown, "a"), std::invalid_argument);
  Sheet f(100, 40);
  f.label(LabelDesign{"a", unknown, Align::Left, colors::black, {0, 0, 100, 40}});
  std::string error;
  EXPECT_THROW(drawOffscreen(painter(), f, 1, error), std::invalid_argument);
  EXPECT_EQ(painter().textures().renderers(), 0u) << "the frame was closed all the same";
}

TEST(Fonts, AMissingFaceNamesThePackagesToInstall) {
  std::string error;
  const FaceRequest found = standardFaces().front();
  // clang-format off
  const std::vector<FaceRequest> wanted = {{"Face One", "NoSuchFamilyQx1", "", "", "fonts-nosuch-one"}, found,
      {"Face Two", "NoSuchFamilyQx2", "", "", "fonts-nosuch-two"}, {"Face Three", "NoSuchFamilyQx1", "", "", "fonts-nosuch-one"}};
  // clang-format on
  EXPECT_EQ(makeSdlPainter("fonts_test", kPictureDir.path(), wanted, error), nullptr);
  for (const char* named :
       {"NoSuchFamilyQx1 (for \"Face One\", \"Face Three\")", "fonts-nosuch-one", "fonts-nosuch-two"})
    EXPECT_NE(error.find(named), std::string::npos) << named << " in " << error;
  EXPECT_EQ(error.find(found.package), std::string::npos) << "only what is missing: " << error;
}

// A memo is taken only when each file it names is a font holding the face
// named, as it was when found: anything else is left to fontconfig before
// the first frame.
TEST(Fonts, AFacesMemoIsTakenOnlyWhenEachFileHoldsItsFace) {
  TempDir dir;
  const std::string memo = dir.file("faces"), font = painter().fonts().faceFor(kUiFace).style(false, false).path,
                    copy = dir.file("copy.ttf");
  const std::vector<FaceRequest> wanted = {{"Face A", "FamilyA", "", "", "fonts-a"}};
  std::filesystem::copy_file(font, copy);
  const struct {
    const char* what;
    std::string path;
    int index;
    bool changedSince = false, taken = false;
  } cases[] = {// clang-format off
      {"as found", font, 0, false, true}, {"a negative index", font, -1}, {"a face the file lacks", font, 99},
      {"a file that is no font", "/etc/passwd", 0}, {"a relative path", std::filesystem::relative(font).string(), 0},
      {"a file changed since", copy, 0, true}};
  // clang-format on
  for (const auto& c : cases) {
    FoundFace face{"FamilyA", {}};
    for (FontFile& f : face.styles) f = {c.path, c.index, false, false};
    const FaceTable table{{"Face A", face}};
    ASSERT_TRUE(rememberFaces(memo, wanted, table)) << c.what;
    if (c.changedSince)
      std::filesystem::last_write_time(copy, std::filesystem::last_write_time(copy) - std::chrono::hours(1));
    EXPECT_EQ(recallFaces(memo, wanted), c.taken ? std::optional(table) : std::nullopt) << c.what;
  }
}

// A start takes the remembered faces without asking fontconfig; once its
// first frame is up it asks all the same, and the next start has the answer.
TEST(Fonts, ARememberedTableIsTakenAtOnceAndCorrectedForTheNextStart) {
  TempDir dir;
  const std::string memo = dir.file("faces");
  const std::vector<FaceRequest> wanted = standardFaces();
  std::string error;
  // Nothing remembered: a search, remembered.
  const std::optional<FaceTable> found = SdlPainter::FaceSearch(wanted, memo).result(error);
  ASSERT_TRUE(found) << error;
  ASSERT_EQ(recallFaces(memo, wanted), found);

  FaceTable stale = *found;
  stale[kUiFace] = found->at(kSymbolFace);  // as if the configuration had changed since
  ASSERT_TRUE(rememberFaces(memo, wanted, stale));
  {
    SdlPainter::FaceSearch next(wanted, memo);
    EXPECT_EQ(next.result(error), stale);
    next.check();
  }
  EXPECT_EQ(recallFaces(memo, wanted), found);
}

// Upright stems have their ink straight above, slanted ones lean right at the
// top. (A bold made without a face of its own is SDL_ttf's: bold_glyph_test.)
TEST(Fonts, ItalicIsDrawnEvenWithoutAFaceOfItsOwn) {
  auto drawn = [](Font font) {
    Sheet f(300, 80);
    f.label(LabelDesign{"Il Il Il", font, Align::Left, colors::black, {10, 5, 280, 70}});
    return draw(f);
  };
  // How far right of the ink of the stems' lowest third that of their top third begins.
  auto lean = [](const SDL_Surface* s) {
    const Ink all = inkAll(s, colors::white);
    const int third = all.height() / 3;
    return inkIn(s, colors::white, {0, all.top, s->w, third}).left -
           inkIn(s, colors::white, {0, all.bottom + 1 - third, s->w, third}).left;
  };
  const SurfacePtr regular = drawn(gothic(40)), italic = drawn(gothic(40, false, true));
  ASSERT_TRUE(inkAll(regular.get(), colors::white).any());
  EXPECT_LE(std::abs(lean(regular.get())), 1);
  EXPECT_GE(lean(italic.get()), 3);
}

TEST(Fonts, EverySymbolCodeHasAPictographInTheSymbolFace) {
  TTF_Font* symbols = painter().fonts().get(wingdings(24), 1);
  ASSERT_NE(symbols, nullptr);
  for (char c : mappedSymbolCodes()) {
    char32_t cp = symbolFor(c);
    EXPECT_GT(cp, 0x7Fu) << c;
    EXPECT_TRUE(TTF_GlyphIsProvided32(symbols, static_cast<Uint32>(cp)))
        << "code " << c << " U+" << std::hex << static_cast<unsigned>(cp);
  }
}

// Rounded to the nearest pixel at 96 dpi, then times the scale.
TEST(Fonts, PointsBecomePixelsAt96DpiTimesTheScale) {
  for (const auto& [points, scale, pixels] :
       {std::tuple{9.0, 1, 12}, {14.0, 1, 19}, {20.25, 2, 54}, {27.75, 3, 111}, {200.0, 2, 534}, {0.1, 1, 1}})
    EXPECT_EQ(FontCache::pixelSize(points, scale), pixels) << points << " pt at " << scale;
}

// Symbol captions are measured as the pictographs they draw.
TEST(Fonts, MeasurerGivesWidthAndLineHeightAtScaleOne) {
  TextMeasurer& m = painter().measurer();
  const int h9 = m.lineHeight(gothic(9)), w2 = m.textWidth(gothic(9), "WW");
  EXPECT_TRUE(h9 >= 12 && h9 <= 17) << h9;
  EXPECT_NEAR(m.lineHeight(gothic(18)), 2 * h9, 2);
  EXPECT_GT(w2, 0);
  EXPECT_NEAR(m.textWidth(gothic(9), "WWWW"), 2 * w2, 1);
  EXPECT_NEAR(m.textWidth(gothic(18), "WW"), 2 * w2, 2);
  EXPECT_EQ(m.textWidth(gothic(9), ""), 0);
  EXPECT_NE(m.textWidth(wingdings(24), "NN"), m.textWidth(gothic(24), "NN"));
  EXPECT_NEAR(m.textWidth(wingdings(24), "NN"), 2 * m.textWidth(wingdings(24), "N"), 1);
}

}  // namespace
}  // namespace qs::test
