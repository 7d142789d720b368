// The generated media as the game meets them: read back with the game's own
// readers (its WAV header check, its MIDI reader and timing, its picture
// loader) and mixed as the game plays them.
#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "effects.h"
#include "icons.h"
#include "loudness.h"
#include "media.h"
#include "pictures.h"
#include "pixel_font.h"
#include "platform/sdl/picture_cache.h"
#include "sound/midi_file.h"
#include "sound/wav_info.h"
#include "support/files.h"
#include "support/png_file.h"
#include "tunes.h"

namespace mg = qs::mediagen;
using qs::test::Bytes;

namespace {

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

const Bytes& bytesOf(const std::string& name) {
  for (const auto& f : media())
    if (f.name == name) return f.bytes;
  throw std::out_of_range("no generated file " + name);
}

template <class T>
std::string stem(const ::testing::TestParamInfo<T>& info) {
  const std::string name = info.param.name;
  return name.substr(0, name.find('.'));
}

// Lengths the game's timing relies on ("high" freezes play while it runs).
struct EffectBounds {
  std::string name;
  std::int64_t minMs, maxMs;
};
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

class SoundEffect : public ::testing::TestWithParam<EffectBounds> {};

TEST_P(SoundEffect, HoldsForItsLengthWithHeadroomAndNoClick) {
  const auto& [name, minMs, maxMs] = GetParam();
  const qs::WavCheck wav = qs::checkWav(folder().file(name));
  const std::vector<float>& s = samplesOf(name);
  EXPECT_EQ(wav.why, "");
  EXPECT_NEAR(wav.ms, 1000.0 * static_cast<double>(s.size()) / mg::kSampleRate, 0.5);
  EXPECT_GE(wav.ms, minMs);
  EXPECT_LE(wav.ms, maxMs);
  double sum = 0;
  for (float v : s) sum += v;
  EXPECT_LT(mg::truePeak(s), 1.0) << "clipped";
  EXPECT_LT(std::abs(sum / static_cast<double>(s.size())), 0.01) << "DC offset";
  // Starting or stopping away from zero is heard as a click.
  EXPECT_LT(std::abs(s.front()), 0.01);
  EXPECT_LT(std::abs(s.back()), 0.01);
}

INSTANTIATE_TEST_SUITE_P(Media, SoundEffect, ::testing::ValuesIn(kEffects), stem<EffectBounds>);

double playedLufs(const std::string& name) { return mg::playedMomentaryLufs(samplesOf(name), mg::kSampleRate); }

TEST(SoundEffects, SmallCuesStayBelowTheBigMoments) {
  for (const char* small : {"choice.wav", "hit.wav"})
    for (const char* big : {"high.wav", "clear.wav", "start.wav", "thndr1.wav", "thndr2.wav"})
      EXPECT_GE(playedLufs(big) - playedLufs(small), 2.0) << small << " against " << big;
  std::vector<double> all;
  for (const auto& fx : kEffects) all.push_back(playedLufs(fx.name));
  EXPECT_LE(*std::max_element(all.begin(), all.end()) - *std::min_element(all.begin(), all.end()), 6.0);
}

const char* const kSoundfont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// A tune rendered offline as the game's synthesizer plays it (FluidSynth at
// 44.1 kHz, synth gain 0.5, no chorus): its integrated level and its peak.
std::pair<double, float> rendered(const std::string& name) {
  fluid_settings_t* settings = new_fluid_settings();
  fluid_settings_setnum(settings, "synth.sample-rate", 44100);
  fluid_settings_setnum(settings, "synth.gain", 0.5);
  fluid_settings_setint(settings, "synth.chorus.active", 0);
  fluid_settings_setstr(settings, "player.timing-source", "sample");
  fluid_synth_t* synth = new_fluid_synth(settings);
  fluid_player_t* player = new_fluid_player(synth);
  const Bytes& midi = bytesOf(name);
  const bool ready = fluid_synth_sfload(synth, kSoundfont, 1) != FLUID_FAILED &&
                     fluid_player_add_mem(player, midi.data(), midi.size()) == FLUID_OK &&
                     fluid_player_play(player) == FLUID_OK;
  std::vector<float> stereo;
  float left[1024], right[1024];
  while (ready && fluid_player_get_status(player) == FLUID_PLAYER_PLAYING) {
    fluid_synth_write_float(synth, 1024, left, 0, 1, right, 0, 1);
    for (int i = 0; i < 1024; ++i) stereo.insert(stereo.end(), {left[i], right[i]});
  }
  delete_fluid_player(player);
  delete_fluid_synth(synth);
  delete_fluid_settings(settings);
  float peak = 0;
  for (float v : stereo) peak = std::max(peak, std::abs(v));
  return {ready ? mg::integratedLufs(stereo, 2, 44100) : NAN, peak};
}

TEST(Mix, EffectsSitAFewLUAboveTheMusicAndNeverClipOverIt) {
  if (!std::filesystem::is_regular_file(kSoundfont)) GTEST_SKIP() << "the TimGM6mb soundfont is not installed";
  for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) fluid_set_log_function(level, nullptr, nullptr);
  double music = 0;
  std::map<std::string, float> peaks;
  for (const auto& tune : mg::makeTunes()) {
    auto [lufs, peak] = rendered(tune.name);
    ASSERT_FALSE(std::isnan(lufs)) << tune.name;
    music += lufs / 4;
    peaks[tune.name] = peak;
  }
  for (const auto& fx : kEffects) {
    SCOPED_TRACE(fx.name);
    EXPECT_GE(playedLufs(fx.name) - music, 2.0);
    EXPECT_LE(playedLufs(fx.name) - music, 8.0);
    // The mixer adds the effect to the music sample by sample: their peaks may meet.
    for (const auto& [tune, peak] : peaks) EXPECT_LT(mg::truePeak(samplesOf(fx.name)) + peak, 1.0) << "over " << tune;
  }
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
      for (int ch = 0; ch < channels; ++ch) signal.push_back(static_cast<float>(0.1 * std::sin(2 * M_PI * hz * i / 22050)));
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
  const std::string path = folder().file(GetParam().name);
  qs::MidiLoadError why;
  const auto tune = qs::loadMidiFile(path, why);
  ASSERT_TRUE(tune) << qs::midiLoadWhy(why);
  const qs::MidiTiming& timing = tune->timing;
  EXPECT_NEAR(timing.lengthMs(), song.length * 60000.0 / (song.bpm * mg::kTicksPerQuarter), 1);
  EXPECT_GE(timing.lengthMs(), 30000);
  EXPECT_LE(timing.lengthMs(), 90000);
  // Each track alone, as a file of its own.
  const Bytes& b = tune->bytes;
  int tracks = 0;
  for (std::size_t at = 14; at + 8 <= b.size(); ++tracks) {
    const std::size_t size = std::size_t{b[at + 4]} << 24 | b[at + 5] << 16 | b[at + 6] << 8 | b[at + 7];
    Bytes alone(14 + 8 + size);
    std::copy_n(b.begin(), 14, alone.begin());
    std::copy_n(b.begin() + static_cast<std::ptrdiff_t>(at), 8 + size, alone.begin() + 14);
    alone[11] = 1;
    const auto t = qs::parseMidiTiming(alone);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->endTick(), song.length) << "track " << tracks;
    at += 8 + size;
  }
  EXPECT_EQ(tracks, static_cast<int>(song.parts.size()) + 1);
  std::uint32_t lastOff = 0;
  for (const auto& part : song.parts)
    for (const auto& n : part.notes) lastOff = std::max(lastOff, n.start + n.length);
  EXPECT_LT(timing.lengthMs() - timing.msAt(lastOff), 250);
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
  ASSERT_EQ(image.width(), 32);
  ASSERT_EQ(image.height(), 32);
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
  EXPECT_GE(used.size(), 2u);
  EXPECT_LE(used.size(), 3u);
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
