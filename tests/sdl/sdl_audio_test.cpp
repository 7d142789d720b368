// The sound output: the music as the synthesizer renders it offline, in the
// mixer's blocks of 1024 frames, and what SDL's disk driver writes of it all;
// the one line the program says when part of it cannot sound. Each test that
// starts SDL's audio or loads a soundfont does so afresh, in a child process.
#include "platform/sdl/audio/sdl_audio.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>

#include "effects.h"
#include "loudness.h"
#include "media.h"
#include "platform/sdl/audio/fluid_music.h"
#include "platform/sdl/audio/soundfont.h"
#include "sound/mci_sequencer.h"
#include "sound/midi_file.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

namespace mg = mediagen;
constexpr int kRate = 44100;
using Samples = std::vector<std::int16_t>;  // left and right interleaved
using Levels = std::vector<double>;

struct Child {
  std::string err;  // what it wrote on standard error, but its numbers
  Levels numbers;   // what `body` gave; none when the child failed
};

// Runs `body` in a child process with these environment variables set, so
// that SDL's audio starts afresh on the driver the test chooses. The
// synthesizer loads a soundfont on worker threads that a later fork of this
// process would find stuck, so this process never loads one itself.
Child inChild(const std::map<std::string, std::string>& env, const std::function<Levels()>& body) {
  const TempDir dir;
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    if (!std::freopen(dir.file("err").c_str(), "w", stderr)) _exit(2);
    for (auto& [k, v] : env) setenv(k.c_str(), v.c_str(), 1);
    for (double v : body()) std::fprintf(stderr, "= %.17g\n", v);
    SDL_Quit();
    std::fflush(nullptr);
    _exit(0);
  }
  int st = 0;
  waitpid(pid, &st, 0);
  const Bytes said = readBytes(dir.file("err"));
  Child r;
  std::istringstream lines(std::string(said.begin(), said.end()));
  for (std::string line; std::getline(lines, line);)
    if (line.starts_with("= ")) r.numbers.push_back(std::stod(line.substr(2)));
    else if (!line.starts_with("CRITICAL:")) r.err += line + "\n";  // SDL's disk driver announcing itself
  if (!WIFEXITED(st) || WEXITSTATUS(st) != 0) r.numbers.clear(), r.err += "the child failed\n";
  return r;
}

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
  Track t = Track().program(0, 80).raw({0xB0, 91, 0});
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
  std::function<Levels(const Synth&)> levels;     // in the child; the first must sound
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
  const Bytes chord = lead({{300, 48}, {300, 55}, {300, 64}});
  const std::vector<std::pair<double, double>> fades = {{0.6, kAny}, {0.2, kAny}, {0, 0.01}};
  // clang-format off
  const Render cases[] = {
      // A game start seeks the game tune to 1 ms and plays: its first sound is
      // the opening downbeat (kick, bass and chord at tick 0), not the hi-hat after.
      {"bgm.mid from 1 ms", generated("bgm.mid"), [](const Synth& s) { return Levels{s.opening(0), s.opening(1)}; },
       {{0.7, kAny}}},
      // From a point within a tune, a note begun less than 10 ms before it is
      // struck; one begun earlier, held or not, is not struck again.
      {"from a point", lead({{0, 60}, {1000, 67}}),
       [](const Synth& s) { return Levels{s.opening(0), s.opening(500), s.opening(1005), s.opening(1020)}; },
       {{0, 0.01}, {0.3, kAny}, {0, 0.01}}},
      {"stop", chord, cut([](FluidMusic& m, const Synth&) { m.stop(); }), fades},
      {"start again", chord, cut([](FluidMusic& m, const Synth&) { m.play(0); }), fades},
      {"another tune", chord, cut([](FluidMusic& m, const Synth& s) { m.close(), m.open(s.tune), m.play(0); }), fades},
      // Paused at 200 ms, the tune is silent and stays where it was: resumed,
      // the chord still comes 100 ms later, as in a tune never paused.
      {"paused", chord,
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
  // clang-format on
  for (const Render& c : cases) {
    SCOPED_TRACE(c.what);
    const Synth synth{font, tuneOf(c.tune)};
    const Levels level = inChild({}, [&] { return c.levels(synth); }).numbers;
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
  const Child run = inChild({}, [&] {
    Levels v;  // each tune's level and peak
    for (const char* name : {"select.mid", "title.mid", "bgm.mid", "fbgm.mid"}) {
      const Synth synth{font, tuneOf(generated(name))};
      const Samples s = render(*synth(), static_cast<int>(synth.tune->timing.lengthMs()));
      std::vector<float> stereo(s.begin(), s.end());
      float peak = 0;
      for (float& x : stereo) peak = std::max(peak, std::abs(x /= 32768));
      v.insert(v.end(), {mg::integratedLufs(stereo, 2, kRate), peak});
    }
    return v;
  });
  const Levels& level = run.numbers;
  ASSERT_EQ(level.size(), 8u);
  double music = 0, loudest = 0;
  for (std::size_t i = 0; i < level.size(); i += 2) music += level[i] / 4, loudest = std::max(loudest, level[i + 1]);
  for (const auto& fx : mg::makeSoundEffects()) {
    const double lufs = mg::playedMomentaryLufs(fx.samples, mg::kSampleRate);
    EXPECT_TRUE(lufs - music >= 2 && lufs - music <= 8) << fx.name << ": " << lufs << " LUFS over " << music;
    EXPECT_LT(mg::truePeak(fx.samples) + loudest, 1.0) << fx.name;
  }
}

struct DiskRun {
  const char* what;
  std::string steps;  // "tune" opens tune.mid and plays it; "playing" says so unless it still plays
  // Stretches of the output in ms (negative: from its end) and the peak each
  // reaches (a positive bound) or stays under (a negative one).
  std::vector<std::tuple<int, int, int>> windows;
  std::string says = "";                        // how the one line on standard error begins, if any
  std::map<std::string, std::string> env = {};  // over the disk driver's
};

// Each sound is heard when and as long as it should. Whatever keeps the
// output or the music from starting, standard error gets the program's one
// line and nothing the audio libraries say on their own: ALSA with no usable
// device (here with no configuration) talks a lot. The soundfont is the
// first of SDL_SOUNDFONTS's list that is there, else the system's.
TEST(DiskAudio, EachSoundIsHeardWhenAndAsLongAsItShouldOrTheOneLineSaysWhyNot) {
  const TempDir dir;
  writeBytes(dir.file("tune.mid"), tuneOfMs(1500));
  writeBytes(dir.file("long.wav"), wavBytes(22050, 22050 * 2));   // 2 s
  writeBytes(dir.file("short.wav"), wavBytes(22050, 2205, 880));  // 100 ms
  const std::string noSound = "Qspe: no sound: ", everything = "tune effect missing.wav default beep";
  const std::string notFont = dir.file("short.wav"), fonts = "/missing.sf2;" + notFont + ":" + dir.file("long.wav");
  // clang-format off
  const DiskRun runs[] = {
      {"a new effect cuts off the one still sounding", "effect long.wav wait 200 effect short.wav wait 700",
       {{0, 150, 8000}, {-150, 0, -50}}},  // gone well before the long one would end
      {"the default sound and the beep are made by the program", "default wait 400 beep wait 400",
       {{0, 350, 3000}, {400, 600, 3000}}},
      {"a file that is no soundfont silences the music only", "tune effect short.wav wait 400 playing", {{0, 300, 8000}},
       "Qspe: no music: cannot load the soundfont " + notFont, {{"SDL_SOUNDFONTS", fonts}}},
      {"no soundfont", "tune playing", {}, "Qspe: no music: no soundfont found where SDL_SOUNDFONTS says (/missing.sf2)",
       {{"SDL_SOUNDFONTS", "/missing.sf2"}}},
      {"no output", everything, {}, noSound, {{"SDL_AUDIODRIVER", "dummy"}}},
      {"no such driver", everything, {}, noSound, {{"SDL_AUDIODRIVER", "no-such-driver"}}},
      {"no ALSA device", everything, {}, noSound, {{"SDL_AUDIODRIVER", "alsa"}, {"ALSA_CONFIG_PATH", "/dev/null"}}},
  };
  // clang-format on
  const bool font = !findSoundFont(std::getenv("SDL_SOUNDFONTS")).path.empty();
  for (const DiskRun& c : runs) {
    SCOPED_TRACE(c.what);
    if (!font && c.says.empty()) continue;  // no General MIDI soundfont installed: a line about the music
    const std::string out = dir.file(std::string(c.what) + ".raw");
    std::map<std::string, std::string> env = c.env;
    env.insert({{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", out}});  // unless the run says otherwise
    const Child run = inChild(env, [&] {
      auto audio = openSdlAudio("Qspe");
      MciSequencer mci([] { return std::int64_t{SDL_GetTicks()}; }, *audio);
      std::istringstream steps(c.steps);
      for (std::string step, word; steps >> step;) {
        if (step == "tune") mci.send("open " + dir.file("tune.mid") + " alias midifile"), mci.send("play midifile");
        if (step == "effect" && steps >> word) audio->playEffect(dir.file(word));
        if (step == "wait" && steps >> word) SDL_Delay(std::stoul(word));
        if (step == "default") audio->playDefaultSound();
        if (step == "beep") audio->beep();
        if (step == "playing" && mci.send("status midifile mode") != "playing") std::fputs("it stopped\n", stderr);
      }
      return Levels{};
    });
    EXPECT_TRUE(run.err.starts_with(c.says) && std::ranges::count(run.err, '\n') == !c.says.empty()) << run.err;
    // Signed 16-bit stereo frames (88 samples a ms), measured from the first
    // sound: under load the output may start well before the first call.
    const Bytes raw = readBytes(out);
    std::vector<std::int16_t> s(raw.size() / 2);
    if (!s.empty()) std::memcpy(s.data(), raw.data(), s.size() * 2);
    const auto first = std::ranges::find_if(s, [](int v) { return std::abs(v) > 50; }) - s.begin();
    for (const auto& [from, to, bound] : c.windows) {
      const auto begin = from < 0 ? std::ssize(s) + 88 * from : first + 88 * from,
                 end = to > 0 ? first + 88 * to : std::ssize(s);
      ASSERT_TRUE(begin >= first && end <= std::ssize(s))
          << "the output ends " << (std::ssize(s) - first) / 88 << " ms in";
      int peak = 0;
      for (auto i = begin; i < end; ++i) peak = std::max(peak, std::abs(int{s[i]}));
      EXPECT_TRUE(bound > 0 ? peak > bound : peak < -bound) << peak << " from " << from << " ms to " << to;
    }
  }
}

}  // namespace
}  // namespace qs::test
