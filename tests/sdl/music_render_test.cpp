// The music as the synthesizer renders it, offline: no audio device, the
// samples straight from it in the mixer's blocks of 1024 frames.
#include <gtest/gtest.h>

#include <cmath>

#include "audio_child.h"
#include "effects.h"
#include "loudness.h"
#include "media.h"
#include "platform/sdl/fluid_music.h"
#include "platform/sdl/soundfont.h"
#include "sound/midi_file.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

constexpr int kRate = 44100;
using Samples = std::vector<std::int16_t>;  // left and right interleaved

std::shared_ptr<const MidiTune> tuneOf(const Bytes& bytes) {
  return std::make_shared<const MidiTune>(MidiTune{"test.mid", bytes, *parseMidiTiming(bytes)});
}

// Runs `body` in a child process and returns the numbers it gives, none
// when it fails. The synthesizer loads a soundfont on worker threads that a
// later fork of this process (the other audio tests make some) would find
// stuck, so this process never loads one itself.
std::vector<double> numbersFromChild(const std::function<std::vector<double>()>& body) {
  auto r = inChild({}, [&] {
    for (double v : body()) std::fprintf(stderr, "= %.17g\n", v);
    return 0;
  });
  std::vector<double> v;
  std::istringstream lines(r.err);
  for (std::string line; r.status == 0 && std::getline(lines, line);)
    if (line.starts_with("= ")) v.push_back(std::stod(line.substr(2)));
  return v;
}

// A square lead with no reverb, a tick a millisecond: a chord of `keys`
// held from `fromMs` for 3 s.
Bytes chord(std::uint32_t fromMs, std::initializer_list<int> keys) {
  Track t;
  t.program(0, 80).raw({0xB0, 91, 0}).after(fromMs);
  for (int k : keys) t.noteOn(0, k, 127);
  t.after(3000);
  for (int k : keys) t.noteOff(0, k);
  return midiBytes(500, {t.end()});
}

class RenderedMusic : public ::testing::Test {
 protected:
  void SetUp() override {
    font = findSoundFont(std::getenv("SDL_SOUNDFONTS")).path;
    if (font.empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
  }
  // A synthesizer of its own with `tune` open, playing from `fromMs`; in the child only.
  std::unique_ptr<FluidMusic> synth(std::shared_ptr<const MidiTune> tune, std::int64_t fromMs = 0) {
    std::string error;
    auto music = FluidMusic::create(kRate, font, error);
    if (!music) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return nullptr;
    }
    music->open(std::move(tune));
    music->play(fromMs);
    return music;
  }
  static Samples render(FluidMusic& music, int ms) {
    Samples out(static_cast<std::size_t>(kRate) * ms / 1000 * 2);
    for (std::size_t at = 0; at < out.size(); at += 2048)
      music.render(out.data() + at, static_cast<int>(std::min<std::size_t>(2048, out.size() - at) / 2));
    return out;
  }
  static double rms(const Samples& s, int fromMs, int toMs) {
    const std::size_t from = std::size_t{kRate} * fromMs / 1000 * 2;
    const std::size_t to = std::min(s.size(), std::size_t{kRate} * toMs / 1000 * 2);
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0;
  }
  // The level of the first 30 ms of the tune played from `fromMs`; in the child only.
  double opening(std::shared_ptr<const MidiTune> tune, std::int64_t fromMs) {
    auto music = synth(std::move(tune), fromMs);
    return music ? rms(render(*music, 30), 0, 30) : -1;
  }

  std::string font;
};

// A game start seeks the game tune to 1 ms and plays: its first sound is
// the opening downbeat (kick, bass and chord at tick 0), not the hi-hat after.
TEST_F(RenderedMusic, AGameTuneStartedAt1MsOpensOnItsDownbeat) {
  for (const char* name : {"bgm.mid", "fbgm.mid"}) {
    MidiLoadError why = MidiLoadError::None;
    auto tune = loadMidiFile(std::string(QSPE_PROGRAM_DIR) + "/" + name, why);
    ASSERT_TRUE(tune) << name;
    auto level = numbersFromChild([&] { return std::vector<double>{opening(tune, 0), opening(tune, 1)}; });
    ASSERT_EQ(level.size(), 2u);
    ASSERT_GT(level[0], 300) << name << " opens with sound";
    EXPECT_GT(level[1], 0.7 * level[0]) << name << ": the first 30 ms from 1 ms against from 0";
  }
}

// From a point within a tune, a note begun less than 10 ms before it is
// struck; one begun earlier, held or not, is not struck again.
TEST_F(RenderedMusic, FromAPointOnlyNotesBegunJustBeforeItAreStruck) {
  Track t;
  t.program(0, 80).raw({0xB0, 91, 0}).noteOn(0, 60, 127).after(1000).noteOn(0, 67, 127);
  t.after(1000).noteOff(0, 60).noteOff(0, 67).end();
  auto tune = tuneOf(midiBytes(500, {t}));
  auto level = numbersFromChild([&] {
    return std::vector<double>{opening(tune, 0), opening(tune, 500), opening(tune, 1005), opening(tune, 1020)};
  });
  ASSERT_EQ(level.size(), 4u);
  ASSERT_GT(level[0], 300);
  EXPECT_LT(level[1], 0.01 * level[0]) << "the held note is not struck again";
  EXPECT_GT(level[2], 0.3 * level[0]) << "the note 5 ms before is struck";
  EXPECT_LT(level[3], 0.01 * level[0]) << "the note 20 ms before is not";
}

// What sounds when the tune stops or starts again fades out over about
// 30 ms instead of falling silent at once (a click) or ringing on.
TEST_F(RenderedMusic, WhatSoundsFadesOverAbout30MsWhenTheTuneStopsOrStartsAgain) {
  auto tune = tuneOf(chord(300, {48, 55, 64}));  // nothing sounds in the first 300 ms
  const std::pair<const char*, std::function<void(FluidMusic&)>> cuts[] = {
      {"stop", [](FluidMusic& m) { m.stop(); }},
      {"start again", [](FluidMusic& m) { m.play(0); }},
      {"another tune", [&](FluidMusic& m) { m.close(), m.open(tune), m.play(0); }},
  };
  for (auto& [what, cut] : cuts) {
    auto level = numbersFromChild([&] {
      auto music = synth(tune);
      if (!music) return std::vector<double>{};
      auto before = render(*music, 600);
      cut(*music);
      auto after = render(*music, 120);
      return std::vector<double>{rms(before, 500, 600), rms(after, 0, 5), rms(after, 10, 20), rms(after, 45, 120)};
    });
    ASSERT_EQ(level.size(), 4u) << what;
    ASSERT_GT(level[0], 300) << what;
    EXPECT_GT(level[1], 0.6 * level[0]) << what << ": not cut off at once";
    EXPECT_GT(level[2], 0.2 * level[0]) << what << ": still fading";
    EXPECT_LT(level[3], 0.01 * level[0]) << what << ": and gone";
  }
}

// Paused, the tune is silent and stays where it was: resumed, it renders what
// a tune never paused renders from the same point.
TEST_F(RenderedMusic, APausedTuneIsSilentAndGoesOnFromWhereItStopped) {
  auto tune = tuneOf(chord(300, {48, 55, 64}));  // the chord comes 100 ms after the pause
  auto level = numbersFromChild([&] {
    auto paused = synth(tune), straight = synth(tune);
    if (!paused || !straight) return std::vector<double>{};
    render(*paused, 200), render(*straight, 200);
    paused->pause(true);
    const Samples silent = render(*paused, 500);
    paused->pause(false);
    const Samples resumed = render(*paused, 400), expected = render(*straight, 400);
    return std::vector<double>{rms(expected, 150, 400), rms(silent, 0, 500), rms(resumed, 0, 100),
                               static_cast<double>(resumed == expected)};
  });
  ASSERT_EQ(level.size(), 4u);
  ASSERT_GT(level[0], 300) << "the chord sounds";
  EXPECT_EQ(level[1], 0) << "paused, nothing sounds";
  EXPECT_EQ(level[2], 0) << "resumed, the chord still to come";
  EXPECT_EQ(level[3], 1) << "and then as it would have come unpaused";
}

// Each tune rendered whole: every effect sits a few LU above the music and,
// added to it sample by sample, never clips over its loudest instant.
TEST_F(RenderedMusic, EffectsSitAFewLUAboveTheMusicAndNeverClipOverIt) {
  namespace mg = mediagen;
  std::vector<mg::MediaFile> tunes = mg::generateMedia();
  std::erase_if(tunes, [](const mg::MediaFile& f) { return !f.name.ends_with(".mid"); });
  auto level = numbersFromChild([&] {
    std::vector<double> v;  // each tune's level and peak
    for (const auto& f : tunes) {
      auto tune = tuneOf(f.bytes);
      auto music = synth(tune);
      if (!music) return std::vector<double>{};
      const Samples s = render(*music, static_cast<int>(tune->timing.lengthMs()));
      std::vector<float> stereo(s.begin(), s.end());
      float peak = 0;
      for (float& x : stereo) peak = std::max(peak, std::abs(x /= 32768));
      v.insert(v.end(), {mg::integratedLufs(stereo, 2, kRate), peak});
    }
    return v;
  });
  ASSERT_EQ(level.size(), 2 * tunes.size());
  double music = 0, loudest = 0;
  for (std::size_t i = 0; i < level.size(); i += 2) {
    music += level[i] / static_cast<double>(tunes.size());
    loudest = std::max(loudest, level[i + 1]);
  }
  for (const auto& fx : mg::makeSoundEffects()) {
    const double lufs = mg::playedMomentaryLufs(fx.samples, mg::kSampleRate);
    EXPECT_TRUE(lufs - music >= 2 && lufs - music <= 8) << fx.name << ": " << lufs << " LUFS over " << music;
    EXPECT_LT(mg::truePeak(fx.samples) + loudest, 1.0) << fx.name;
  }
}

}  // namespace
}  // namespace qs::test
