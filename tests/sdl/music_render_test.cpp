// The music as the synthesizer renders it, offline: no audio device, the
// samples straight from it in the mixer's blocks of 1024 frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "audio_child.h"
#include "effects.h"
#include "loudness.h"
#include "media.h"
#include "platform/sdl/audio/fluid_music.h"
#include "platform/sdl/audio/soundfont.h"
#include "sound/midi_file.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

namespace mg = mediagen;
constexpr int kRate = 44100;
using Samples = std::vector<std::int16_t>;  // left and right interleaved
using Levels = std::vector<double>;

std::shared_ptr<const MidiTune> tuneOf(const Bytes& bytes) {
  return std::make_shared<const MidiTune>(MidiTune{"test.mid", bytes, *parseMidiTiming(bytes)});
}
const Bytes& generated(const std::string& name) {
  static const std::vector<mg::MediaFile> files = mg::generateMedia();
  return std::ranges::find(files, name, &mg::MediaFile::name)->bytes;
}

// A square lead with no reverb, a tick a millisecond: notes of `keys` struck
// at `at` ms, held to 3 s after the last.
Bytes lead(std::initializer_list<std::pair<std::uint32_t, int>> keys) {
  Track t;
  t.program(0, 80).raw({0xB0, 91, 0});
  std::uint32_t now = 0;
  for (auto [at, key] : keys) t.after(at - std::exchange(now, at)).noteOn(0, key, 127);
  t.after(3000);
  for (auto [at, key] : keys) t.noteOff(0, key);
  return midiBytes(500, {t.end()});
}

Samples render(FluidMusic& music, int ms) {
  Samples out(static_cast<std::size_t>(kRate) * ms / 1000 * 2);
  for (std::size_t at = 0; at < out.size(); at += 2048)
    music.render(out.data() + at, static_cast<int>(std::min<std::size_t>(2048, out.size() - at) / 2));
  return out;
}
double rms(const Samples& s, int fromMs, int toMs) {
  const std::size_t from = std::size_t{kRate} * fromMs / 1000 * 2;
  const std::size_t to = std::min(s.size(), std::size_t{kRate} * toMs / 1000 * 2);
  double sum = 0;
  for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(s[i]) * s[i];
  return to > from ? std::sqrt(sum / static_cast<double>(to - from)) : 0;
}

// In the child only: synthesizers of their own with a tune open.
struct Synth {
  std::string font;
  std::shared_ptr<const MidiTune> tune;
  std::unique_ptr<FluidMusic> operator()(std::int64_t fromMs = 0) const {
    std::string error;
    auto music = FluidMusic::create(kRate, font, error);
    if (!music) std::fprintf(stderr, "%s\n", error.c_str()), _exit(1);
    music->open(tune);
    music->play(fromMs);
    return music;
  }
  double opening(std::int64_t fromMs) const { return rms(render(*(*this)(fromMs), 30), 0, 30); }
};

// Runs `body` in a child process and returns the numbers it gives, none
// when it fails. The synthesizer loads a soundfont on worker threads that a
// later fork of this process (the other audio tests make some) would find
// stuck, so this process never loads one itself.
Levels numbersFromChild(const std::function<Levels()>& body) {
  auto r = inChild({}, [&] {
    for (double v : body()) std::fprintf(stderr, "= %.17g\n", v);
    return 0;
  });
  Levels v;
  std::istringstream lines(r.err);
  for (std::string line; r.status == 0 && std::getline(lines, line);)
    if (line.starts_with("= ")) v.push_back(std::stod(line.substr(2)));
  return v;
}

// What sounds when the tune stops or starts again fades out over about 30 ms
// instead of falling silent at once (a click) or ringing on: the chord before
// it, then 0-5 ms, 10-20 ms and 45-120 ms after.
std::function<Levels(const Synth&)> cut(void (*how)(FluidMusic&, const Synth&)) {
  return [how](const Synth& synth) {
    auto music = synth();
    auto before = render(*music, 600);
    how(*music, synth);
    auto after = render(*music, 120);
    return Levels{rms(before, 500, 600), rms(after, 0, 5), rms(after, 10, 20), rms(after, 45, 120)};
  };
}

struct Render {
  const char* what;
  Bytes tune;
  std::function<Levels(const Synth&)> levels;  // in the child; the first must sound
  std::vector<std::pair<double, double>> shares;  // each later level's bounds, as shares of the first
};
constexpr double kAny = 1e9;

class RenderedMusic : public ::testing::Test {
 protected:
  void SetUp() override {
    font = findSoundFont(std::getenv("SDL_SOUNDFONTS")).path;
    if (font.empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
  }
  std::string font;
};

TEST_F(RenderedMusic, EachStartStopAndPauseSoundsAsItShould) {
  const auto downbeat = [](const Synth& s) { return Levels{s.opening(0), s.opening(1)}; };
  const Render cases[] = {
      // A game start seeks the game tune to 1 ms and plays: its first sound is
      // the opening downbeat (kick, bass and chord at tick 0), not the hi-hat after.
      {"bgm.mid from 1 ms", generated("bgm.mid"), downbeat, {{0.7, kAny}}},
      {"fbgm.mid from 1 ms", generated("fbgm.mid"), downbeat, {{0.7, kAny}}},
      // From a point within a tune, a note begun less than 10 ms before it is
      // struck; one begun earlier, held or not, is not struck again.
      {"from a point", lead({{0, 60}, {1000, 67}}),
       [](const Synth& s) { return Levels{s.opening(0), s.opening(500), s.opening(1005), s.opening(1020)}; },
       {{0, 0.01}, {0.3, kAny}, {0, 0.01}}},
      {"stop", lead({{300, 48}, {300, 55}, {300, 64}}), cut([](FluidMusic& m, const Synth&) { m.stop(); }),
       {{0.6, kAny}, {0.2, kAny}, {0, 0.01}}},
      {"start again", lead({{300, 48}, {300, 55}, {300, 64}}), cut([](FluidMusic& m, const Synth&) { m.play(0); }),
       {{0.6, kAny}, {0.2, kAny}, {0, 0.01}}},
      {"another tune", lead({{300, 48}, {300, 55}, {300, 64}}),
       cut([](FluidMusic& m, const Synth& s) { m.close(), m.open(s.tune), m.play(0); }),
       {{0.6, kAny}, {0.2, kAny}, {0, 0.01}}},
      // Paused at 200 ms, the tune is silent and stays where it was: resumed,
      // the chord still comes 100 ms later, as in a tune never paused.
      {"paused", lead({{300, 48}, {300, 55}, {300, 64}}),
       [](const Synth& s) {
         auto paused = s(), straight = s();
         render(*paused, 200), render(*straight, 200);
         paused->pause(true);
         const Samples silent = render(*paused, 500);
         paused->pause(false);
         Samples resumed = render(*paused, 400), expected = render(*straight, 400), apart(resumed.size());
         for (std::size_t i = 0; i < apart.size(); ++i) apart[i] = static_cast<std::int16_t>(resumed[i] - expected[i]);
         return Levels{rms(expected, 150, 400), rms(silent, 0, 500), rms(resumed, 0, 100), rms(apart, 0, 400)};
       },
       {{0, 0}, {0, 0}, {0, 0}}},
  };
  for (const Render& c : cases) {
    SCOPED_TRACE(c.what);
    const Synth synth{font, tuneOf(c.tune)};
    const Levels level = numbersFromChild([&] { return c.levels(synth); });
    ASSERT_EQ(level.size(), c.shares.size() + 1);
    ASSERT_GT(level[0], 300);
    for (std::size_t i = 1; i < level.size(); ++i) {
      const auto [least, most] = c.shares[i - 1];
      EXPECT_TRUE(level[i] >= least * level[0] && level[i] <= most * level[0]) << "level " << i << ": " << level[i];
    }
  }
}

// Each tune rendered whole: every effect sits a few LU above the music and,
// added to it sample by sample, never clips over its loudest instant.
TEST_F(RenderedMusic, EffectsSitAFewLUAboveTheMusicAndNeverClipOverIt) {
  const std::vector<std::string> tunes = {"select.mid", "title.mid", "bgm.mid", "fbgm.mid"};
  auto level = numbersFromChild([&] {
    Levels v;  // each tune's level and peak
    for (const auto& name : tunes) {
      const Synth synth{font, tuneOf(generated(name))};
      const Samples s = render(*synth(), static_cast<int>(synth.tune->timing.lengthMs()));
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
