#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>

#include "audio_child.h"
#include "platform/sdl/fluid_music.h"
#include "platform/sdl/soundfont.h"
#include "sound/midi_file.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

constexpr int kRate = 44100;

std::shared_ptr<const MidiTune> tuneOf(const Bytes& bytes, const std::string& name) {
  auto timing = parseMidiTiming(bytes);
  EXPECT_TRUE(timing);
  return std::make_shared<const MidiTune>(MidiTune{name, bytes, timing.value_or(MidiTiming(1, {}, 0))});
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
    if (line.rfind("= ", 0) == 0) v.push_back(std::stod(line.substr(2)));
  return v;
}

// The music as the synthesizer renders it, offline: no audio device, the
// samples straight from it in the mixer's blocks of 1024 frames.
class RenderedMusic : public ::testing::Test {
 protected:
  void SetUp() override {
    font = findSoundFont(std::getenv("SDL_SOUNDFONTS")).path;
    if (font.empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
  }
  // A synthesizer of its own with `tune` open; in the child only.
  std::unique_ptr<FluidMusic> synth(std::shared_ptr<const MidiTune> tune) {
    std::string error;
    auto music = FluidMusic::create(kRate, font, error);
    if (music) music->open(std::move(tune));
    else std::fprintf(stderr, "%s\n", error.c_str());
    return music;
  }
  // The next `ms` of output, left and right interleaved.
  static std::vector<std::int16_t> render(FluidMusic& music, int ms) {
    std::vector<std::int16_t> out(static_cast<std::size_t>(kRate) * ms / 1000 * 2);
    for (std::size_t at = 0; at < out.size(); at += 2048)
      music.render(out.data() + at, static_cast<int>(std::min<std::size_t>(2048, out.size() - at) / 2));
    return out;
  }
  // The level of the first `ms` of the tune played from `fromMs`; in the child only.
  double opening(std::shared_ptr<const MidiTune> tune, std::int64_t fromMs, int ms) {
    auto music = synth(std::move(tune));
    if (!music) return -1;
    music->play(fromMs);
    return rms(render(*music, ms), 0, ms);
  }
  static double rms(const std::vector<std::int16_t>& s, int fromMs, int toMs) {
    std::size_t from = static_cast<std::size_t>(kRate) * fromMs / 1000 * 2;
    std::size_t to = std::min(s.size(), static_cast<std::size_t>(kRate) * toMs / 1000 * 2);
    double sum = 0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
    return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0;
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
    auto level = numbersFromChild([&] { return std::vector<double>{opening(tune, 0, 30), opening(tune, 1, 30)}; });
    ASSERT_EQ(level.size(), 2u);
    ASSERT_GT(level[0], 300) << name << " opens with sound";
    EXPECT_GT(level[1], 0.7 * level[0]) << name << ": the first 30 ms from 1 ms against from 0";
  }
}

// From a point within a tune, a note begun less than 10 ms before it is
// struck; one begun earlier, held or not, is not struck again.
TEST_F(RenderedMusic, FromAPointOnlyNotesBegunJustBeforeItAreStruck) {
  Track t;  // 500 ticks a quarter at 120 bpm: a tick is a millisecond
  t.program(0, 80).raw({0xB0, 91, 0}).noteOn(0, 60, 127).after(1000).noteOn(0, 67, 127);
  t.after(1000).noteOff(0, 60).noteOff(0, 67).end();
  auto tune = tuneOf(midiBytes(500, {t}), "held.mid");
  auto level = numbersFromChild([&] {
    return std::vector<double>{opening(tune, 0, 30), opening(tune, 500, 30), opening(tune, 1005, 30),
                               opening(tune, 1020, 30)};
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
  Track t;  // a held chord from 300 ms on: nothing sounds in the first 300 ms
  t.program(0, 80).raw({0xB0, 91, 0}).after(300).noteOn(0, 48, 127).noteOn(0, 55, 127).noteOn(0, 64, 127);
  t.after(3000).noteOff(0, 48).noteOff(0, 55).noteOff(0, 64).end();
  auto tune = tuneOf(midiBytes(500, {t}), "chord.mid");
  std::vector<std::pair<const char*, std::function<void(FluidMusic&)>>> cuts = {
      {"stop", [](FluidMusic& m) { m.stop(); }},
      {"start again", [](FluidMusic& m) { m.play(0); }},
      {"another tune", [&](FluidMusic& m) {
         m.close();
         m.open(tune);
         m.play(0);
       }},
  };
  for (auto& [what, cut] : cuts) {
    auto level = numbersFromChild([&] {
      auto music = synth(tune);
      if (!music) return std::vector<double>{};
      music->play(0);
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

}  // namespace
}  // namespace qs::test
