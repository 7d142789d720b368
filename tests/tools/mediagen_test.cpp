// The generated media as the game meets them: read back with the game's own
// readers (its WAV header check, its MIDI reader and timing, its picture
// loader). How the tunes mix with the effects is heard in the SDL tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "effects.h"
#include "icons.h"
#include "loudness.h"
#include "media.h"
#include "pictures.h"
#include "pixel_font.h"
#include "platform/sdl/draw/picture_cache.h"
#include "sound/midi_file.h"
#include "sound/wav_info.h"
#include "support/png_file.h"
#include "tunes.h"

namespace {

namespace mg = qs::mediagen;

const std::vector<mg::MediaFile>& media() {
  static const std::vector<mg::MediaFile> files = mg::generateMedia();
  return files;
}

// The media written once, for the readers that take a path.
const qs::test::TempDir& folder() {
  static const qs::test::TempDir dir;
  static const bool written = (mg::writeMedia(media(), dir.path()), true);
  return (void)written, dir;
}

const std::vector<float>& samplesOf(const std::string& name) {
  static const std::vector<mg::SoundEffect> effects = mg::makeSoundEffects();
  return std::ranges::find(effects, name, &mg::SoundEffect::name)->samples;
}
double playedLufs(const std::string& name) { return mg::playedMomentaryLufs(samplesOf(name), mg::kSampleRate); }

// Each effect lasts as the game's timing needs ("high" freezes play while it
// runs), with headroom, and starts and stops without a click.
TEST(SoundEffects, EachHoldsForItsLengthWithHeadroomAndNoClick) {
  // clang-format off
  const std::tuple<const char*, std::int64_t, std::int64_t> effects[] = {
      {"choice.wav", 30, 300},    {"end.wav", 300, 1500},    {"start.wav", 300, 1500},  {"high.wav", 500, 1000},
      {"hit.wav", 50, 400},       {"miss.wav", 200, 1000},   {"gameover.wav", 1000, 3000}, {"clear.wav", 1000, 3000},
      {"pow.wav", 200, 1000},     {"appear.wav", 500, 1500}, {"death.wav", 500, 1500},  {"katana.wav", 50, 500},
      {"zack.wav", 50, 500},      {"wall.wav", 30, 400},     {"take.wav", 50, 500},     {"thndr1.wav", 1000, 2500},
      {"thndr2.wav", 1000, 2500},
  };
  // clang-format on
  for (const auto& [name, minMs, maxMs] : effects) {
    SCOPED_TRACE(name);
    const qs::WavCheck wav = qs::checkWav(folder().file(name));
    const std::vector<float>& s = samplesOf(name);
    EXPECT_EQ(wav.why, "");
    EXPECT_NEAR(wav.ms, 1000.0 * static_cast<double>(s.size()) / mg::kSampleRate, 0.5);
    EXPECT_TRUE(wav.ms >= minMs && wav.ms <= maxMs) << wav.ms;
    EXPECT_LT(mg::truePeak(s), 1.0) << "clipped";
    EXPECT_LT(std::abs(std::accumulate(s.begin(), s.end(), 0.0) / static_cast<double>(s.size())), 0.01) << "DC";
    EXPECT_TRUE(std::abs(s.front()) < 0.01 && std::abs(s.back()) < 0.01) << "a click";
  }
}

TEST(SoundEffects, SmallCuesStayBelowTheBigMoments) {
  for (const char* small : {"choice.wav", "hit.wav"})
    for (const char* big : {"high.wav", "clear.wav", "start.wav", "thndr1.wav", "thndr2.wav"})
      EXPECT_GE(playedLufs(big) - playedLufs(small), 2.0) << small << " against " << big;
}

// Each tune lasts as its score says, to its loop point, and the last note is
// released just before it: a long tail would leave a gap at the restart.
TEST(Tunes, EachLastsAsItsScoreSaysAndLoopsCleanly) {
  for (const mg::Tune& t : mg::makeTunes()) {
    SCOPED_TRACE(t.name);
    qs::MidiLoadError why;
    const auto tune = qs::loadMidiFile(folder().file(t.name), why);
    ASSERT_TRUE(tune) << qs::midiLoadWhy(why);
    const std::int64_t length = tune->timing.lengthMs();
    EXPECT_NEAR(length, t.song.length * 60000.0 / (t.song.bpm * mg::kTicksPerQuarter), 1);
    EXPECT_TRUE(length >= 30000 && length <= 90000) << length;
    std::uint32_t lastOff = 0;
    for (const auto& part : t.song.parts)
      for (const auto& n : part.notes) lastOff = std::max(lastOff, n.start + n.length);
    EXPECT_LT(length - tune->timing.msAt(lastOff), 250);
  }
}

// The game's loader shows each picture as drawn, in the VGA colours.
TEST(MenuPictures, EachShowsAsDrawnInTheVgaPalette) {
  qs::PictureCache pictures(folder().path(), "Qspe");
  for (const mg::Picture& p : mg::makePictures()) {
    SCOPED_TRACE(p.name);
    ASSERT_TRUE(p.image.width() == 32 && p.image.height() == 32);
    SDL_Surface* loaded = pictures.get(p.name);
    ASSERT_NE(loaded, nullptr);
    SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
    ASSERT_TRUE(s && s->w == 32 && s->h == 32);
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const mg::Rgb c = mg::vgaPalette()[p.image.at(x, y)];
        const std::uint32_t px = static_cast<const std::uint32_t*>(s->pixels)[y * s->pitch / 4 + x];
        ASSERT_EQ(px & 0xFFFFFF, std::uint32_t{c.r} << 16 | c.g << 8 | c.b) << x << "," << y;
      }
    SDL_FreeSurface(s);
  }
}

TEST(Media, GenerationIsDeterministicAndWritesEveryFile) {
  const std::vector<mg::MediaFile> again = mg::generateMedia();
  ASSERT_EQ(again.size(), 30u);
  for (std::size_t i = 0; i < again.size(); ++i) {
    EXPECT_TRUE(again[i].bytes == media()[i].bytes) << again[i].name << " differs between runs";
    // Written under its own name: no other file overwrites it.
    EXPECT_TRUE(qs::test::readBytes(folder().file(again[i].name)) == again[i].bytes) << again[i].name;
  }
  EXPECT_THROW(mg::writeMedia(again, folder().file("missing")), std::runtime_error);
  for (std::u32string_view title : {U"LEVEL", U"FINAL", U"Re", U"Birth", U"QS", U"FOR", U"EVER"})
    EXPECT_LE(mg::textWidth(title), 30) << "fits a picture";
}

// The desktop icons, read as a strict PNG reader would: a clear corner round an opaque face.
TEST(Icons, EverySizeIsAValidRgbaPngOfTheFace) {
  const qs::test::TempDir tmp;
  mg::writeIcons(tmp.path(), "test.Id");
  for (int size : mg::kIconSizes) {
    const std::string side = std::to_string(size);
    std::string error;
    const auto png = qs::test::readPng(tmp.path() + "/hicolor/" + side + "x" + side + "/apps/test.Id.png", error);
    ASSERT_TRUE(png) << side << ": " << error;
    EXPECT_TRUE(png->width == size && png->height == size && png->channels == 4) << side;
    EXPECT_EQ(png->at(0, 0)[3], 0) << side << ": corner";
    EXPECT_EQ(png->at(size / 2, size * 3 / 10)[3], 255) << side << ": the face";
  }
}

}  // namespace
