// The generated media as the game meets them: read back with the game's own
// readers (its WAV header check, its MIDI reader and timing, its picture
// loader). How the tunes mix with the effects is heard in the SDL tests.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <numeric>
#include <set>

#include "effects.h"
#include "icons.h"
#include "loudness.h"
#include "media.h"
#include "pictures.h"
#include "pixel_font.h"
#include "platform/sdl/draw/picture_cache.h"
#include "sound/midi_file.h"
#include "sound/wav_info.h"
#include "support/files.h"
#include "support/png_file.h"
#include "tunes.h"

namespace qs::mediagen {  // the parameters by name in the test listing
void PrintTo(const Tune& t, std::ostream* os) { *os << t.name; }
void PrintTo(const Picture& p, std::ostream* os) { *os << p.name; }
}  // namespace qs::mediagen

namespace {

namespace mg = qs::mediagen;
using qs::test::Bytes;

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

template <class T>
std::string stem(const ::testing::TestParamInfo<T>& info) {
  return info.param.name.substr(0, info.param.name.find('.'));
}

// Lengths the game's timing relies on ("high" freezes play while it runs).
struct EffectBounds {
  std::string name;
  std::int64_t minMs, maxMs;
};
void PrintTo(const EffectBounds& e, std::ostream* os) { *os << e.name; }
const EffectBounds kEffects[] = {
    {"choice.wav", 30, 300},    {"end.wav", 300, 1500},    {"start.wav", 300, 1500},  {"high.wav", 500, 1000},
    {"hit.wav", 50, 400},       {"miss.wav", 200, 1000},   {"gameover.wav", 1000, 3000}, {"clear.wav", 1000, 3000},
    {"pow.wav", 200, 1000},     {"appear.wav", 500, 1500}, {"death.wav", 500, 1500},  {"katana.wav", 50, 500},
    {"zack.wav", 50, 500},      {"wall.wav", 30, 400},     {"take.wav", 50, 500},     {"thndr1.wav", 1000, 2500},
    {"thndr2.wav", 1000, 2500},
};

const std::vector<float>& samplesOf(const std::string& name) {
  static const std::vector<mg::SoundEffect> effects = mg::makeSoundEffects();
  for (const auto& fx : effects)
    if (fx.name == name) return fx.samples;
  throw std::out_of_range("no effect " + name);
}
double playedLufs(const std::string& name) { return mg::playedMomentaryLufs(samplesOf(name), mg::kSampleRate); }

class SoundEffect : public ::testing::TestWithParam<EffectBounds> {};

TEST_P(SoundEffect, HoldsForItsLengthWithHeadroomAndNoClick) {
  const auto& [name, minMs, maxMs] = GetParam();
  const qs::WavCheck wav = qs::checkWav(folder().file(name));
  const std::vector<float>& s = samplesOf(name);
  EXPECT_EQ(wav.why, "");
  EXPECT_NEAR(wav.ms, 1000.0 * static_cast<double>(s.size()) / mg::kSampleRate, 0.5);
  EXPECT_TRUE(wav.ms >= minMs && wav.ms <= maxMs) << wav.ms;
  EXPECT_LT(mg::truePeak(s), 1.0) << "clipped";
  EXPECT_LT(std::abs(std::accumulate(s.begin(), s.end(), 0.0) / static_cast<double>(s.size())), 0.01) << "DC offset";
  // Starting or stopping away from zero is heard as a click.
  EXPECT_TRUE(std::abs(s.front()) < 0.01 && std::abs(s.back()) < 0.01);
}

INSTANTIATE_TEST_SUITE_P(Media, SoundEffect, ::testing::ValuesIn(kEffects), stem<EffectBounds>);

TEST(SoundEffects, SmallCuesStayBelowTheBigMoments) {
  for (const char* small : {"choice.wav", "hit.wav"})
    for (const char* big : {"high.wav", "clear.wav", "start.wav", "thndr1.wav", "thndr2.wav"})
      EXPECT_GE(playedLufs(big) - playedLufs(small), 2.0) << small << " against " << big;
  std::vector<double> all;
  for (const auto& fx : kEffects) all.push_back(playedLufs(fx.name));
  EXPECT_LE(std::ranges::max(all) - std::ranges::min(all), 6.0);
}

TEST(Loudness, TheMeterReadsTheReferenceLevels) {
  // A 1 kHz sine at -20 dBFS reads -23.01 LUFS on one channel, 3 dB more on
  // two; a burst a quarter of the window long 6 dB less; 20 Hz is taken down
  // 13.3 dB by the K-weighting's high-pass, less the 0.69 dB its shelf adds at 1 kHz.
  const std::tuple<double, double, int, double, double> cases[] = {
      {1000.0, 8.0, 1, -23.01, 0.05}, {1000.0, 8.0, 2, -20.0, 0.05}, {1000.0, 0.1, 1, -29.03, 0.1},
      {20.0, 8.0, 1, -23.01 - 0.69 - 13.3, 0.5}};
  for (auto [hz, seconds, channels, lufs, tolerance] : cases) {
    std::vector<float> signal;
    for (int i = 0; i < static_cast<int>(seconds * 22050); ++i)
      signal.insert(signal.end(), static_cast<std::size_t>(channels), static_cast<float>(0.1 * std::sin(2 * M_PI * hz * i / 22050)));
    EXPECT_NEAR(mg::maxMomentaryLufs(signal, channels, 22050), lufs, tolerance) << hz << " Hz " << seconds << " s";
    signal.resize(signal.size() + static_cast<std::size_t>(2 * channels * 22050), 0.0f);  // silence is gated out
    EXPECT_NEAR(mg::integratedLufs(signal, channels, 22050), lufs, tolerance + 0.1) << hz << " Hz " << seconds << " s";
  }
  std::vector<float> quarter;  // sampled 45 degrees off its crests: the samples reach 0.71, the wave 1
  for (int i = 0; i < 400; ++i) quarter.push_back(static_cast<float>(std::sin(M_PI * (i / 2.0 + 0.25))));
  EXPECT_NEAR(mg::truePeak(quarter), 1.0, 0.02);
}

class Tune : public ::testing::TestWithParam<mg::Tune> {};

// The length the score gives, every track ending at the loop point, and the
// last note released just before it: a hanging note would sound on through
// the restart, a long tail would leave a gap.
TEST_P(Tune, LastsAsItsScoreSaysAndLoopsCleanly) {
  const mg::Song& song = GetParam().song;
  qs::MidiLoadError why;
  const auto tune = qs::loadMidiFile(folder().file(GetParam().name), why);
  ASSERT_TRUE(tune) << qs::midiLoadWhy(why);
  const std::int64_t length = tune->timing.lengthMs();
  const auto lengthOf = [](const Bytes& b) { return qs::parseMidiTiming(b).value_or(qs::MidiTiming(1, {}, -1)); };
  EXPECT_NEAR(length, song.length * 60000.0 / (song.bpm * mg::kTicksPerQuarter), 1);
  EXPECT_TRUE(length >= 30000 && length <= 90000) << length;
  const Bytes& b = tune->bytes;
  std::size_t tracks = 0;
  for (std::size_t at = 14; at + 8 <= b.size(); ++tracks) {  // each track alone, as a file of its own
    const std::size_t size = std::size_t{b[at + 4]} << 24 | b[at + 5] << 16 | b[at + 6] << 8 | b[at + 7];
    Bytes alone(14 + 8 + size);
    std::copy_n(b.begin(), 14, alone.begin());
    std::copy_n(b.begin() + static_cast<std::ptrdiff_t>(at), 8 + size, alone.begin() + 14);
    alone[11] = 1;
    EXPECT_EQ(lengthOf(alone).endTick(), song.length) << "track " << tracks;
    at += 8 + size;
  }
  EXPECT_EQ(tracks, song.parts.size() + 1);
  std::uint32_t lastOff = 0;
  for (const auto& part : song.parts)
    for (const auto& n : part.notes) lastOff = std::max(lastOff, n.start + n.length);
  EXPECT_LT(length - tune->timing.msAt(lastOff), 250);
  mg::Song past = song;  // a note running past the loop point never reaches a file
  past.parts[0].notes.push_back({song.length - 1, 2, 60, 90});
  EXPECT_THROW(mg::encodeSong(past), std::logic_error);
}

INSTANTIATE_TEST_SUITE_P(Media, Tune, ::testing::ValuesIn(mg::makeTunes()), stem<mg::Tune>);

class MenuPicture : public ::testing::TestWithParam<mg::Picture> {};

// The game's loader shows each picture as drawn, in the VGA colours, in a
// few colours plainly seen.
TEST_P(MenuPicture, ShowsAsDrawnInTheVgaPalette) {
  const mg::IndexedImage& image = GetParam().image;
  ASSERT_TRUE(image.width() == 32 && image.height() == 32);
  qs::PictureCache pictures(folder().path(), "Qspe");
  SDL_Surface* loaded = pictures.get(GetParam().name);
  ASSERT_NE(loaded, nullptr);
  SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
  ASSERT_TRUE(s && s->w == 32 && s->h == 32);
  std::map<std::uint8_t, int> used;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      const mg::Rgb c = mg::vgaPalette()[image.at(x, y)];
      ++used[image.at(x, y)];
      const std::uint32_t px = static_cast<const std::uint32_t*>(s->pixels)[y * s->pitch / 4 + x];
      ASSERT_EQ(px & 0xFFFFFF, std::uint32_t{c.r} << 16 | c.g << 8 | c.b) << x << "," << y;
    }
  SDL_FreeSurface(s);
  EXPECT_TRUE(used.size() == 2 || used.size() == 3) << used.size();
  for (const auto& [c, count] : used) EXPECT_GE(count, 20) << "colour " << int(c) << " barely drawn";
}

INSTANTIATE_TEST_SUITE_P(Media, MenuPicture, ::testing::ValuesIn(mg::makePictures()), stem<mg::Picture>);

TEST(Media, GenerationIsDeterministicAndWritesEveryFile) {
  const std::vector<mg::MediaFile> again = mg::generateMedia();
  ASSERT_EQ(again.size(), 30u);
  std::set<std::string> names;
  for (std::size_t i = 0; i < again.size(); ++i) {
    EXPECT_TRUE(again[i].bytes == media()[i].bytes) << again[i].name << " differs between runs";
    EXPECT_TRUE(qs::test::readBytes(folder().file(again[i].name)) == again[i].bytes) << again[i].name;
    names.insert(again[i].name);
  }
  EXPECT_EQ(names.size(), again.size()) << "duplicate file names";
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
