#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <cstring>

#include "audio_child.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/soundfont.h"
#include "sound/mci_sequencer.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

namespace fs = std::filesystem;

// Signed 16-bit stereo frames as SDL's disk driver wrote them.
std::vector<std::int16_t> samplesOf(const std::string& path) {
  const Bytes raw = readBytes(path);
  std::vector<std::int16_t> out(raw.size() / 2);
  std::memcpy(out.data(), raw.data(), out.size() * 2);
  return out;
}

int peak(const std::vector<std::int16_t>& s, std::size_t from = 0, std::size_t to = SIZE_MAX) {
  int p = 0;
  for (std::size_t i = from; i < std::min(to, s.size()); ++i) p = std::max(p, std::abs(static_cast<int>(s[i])));
  return p;
}

constexpr std::size_t kSamplesPerMs = 44100 * 2 / 1000;

class DiskAudio : public ::testing::Test {
 protected:
  void SetUp() override {
    writeBytes(file("tune.mid"), tuneOfMs(1500));
    writeBytes(file("long.wav"), wavBytes(22050, 22050 * 2, 440, 0.5));  // 2 s
    writeBytes(file("short.wav"), wavBytes(22050, 2205, 880, 0.5));      // 100 ms
  }
  std::string file(const std::string& name) const { return dir.file(name); }
  // The disk driver's output for a run of `body` with the device open.
  std::map<std::string, std::string> disk(const std::string& out) const {
    return {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", file(out)}};
  }

  TempDir dir;
};

TEST_F(DiskAudio, ATuneSentAsCommandsIsSynthesizedIntoTheOutput) {
  if (findSoundFont(std::getenv("SDL_SOUNDFONTS")).path.empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
  auto r = inChild(disk("music.raw"), [&] {
    auto audio = openSdlAudio("Qspe");
    MciSequencer mci([] { return static_cast<std::int64_t>(SDL_GetTicks()); }, *audio);
    mci.send("open " + file("tune.mid") + " type sequencer alias midifile");
    mci.send("play midifile");
    SDL_Delay(600);
    bool playing = mci.send("status midifile mode") == "playing";
    mci.send("close midifile");
    return playing ? 0 : 3;
  });
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "") << "sound came up without complaint";
  auto s = samplesOf(file("music.raw"));
  ASSERT_GT(s.size(), 300 * kSamplesPerMs) << "the disk driver wrote about as long as the child ran";
  EXPECT_GT(peak(s), 1000) << "a piano chord, not silence";
}

TEST_F(DiskAudio, EffectsPlayAndANewOneCutsOffTheOneStillSounding) {
  auto r = inChild(disk("effects.raw"), [&] {
    auto audio = openSdlAudio("Qspe");
    audio->playEffect(file("long.wav"));
    SDL_Delay(200);
    audio->playEffect(file("short.wav"));
    SDL_Delay(700);
    return 0;
  });
  EXPECT_EQ(r.status, 0) << r.err;
  auto s = samplesOf(file("effects.raw"));
  auto onset = std::find_if(s.begin(), s.end(), [](std::int16_t v) { return std::abs(v) > 8000; });
  ASSERT_NE(onset, s.end()) << "the long effect sounds";
  EXPECT_LT(static_cast<std::size_t>(onset - s.begin()), 150 * kSamplesPerMs) << "and at once";
  ASSERT_GT(s.size(), 700 * kSamplesPerMs);
  // Uncut, the long effect would still sound at the end of the run.
  EXPECT_LT(peak(s, s.size() - 150 * kSamplesPerMs), 50);
}

TEST_F(DiskAudio, TheDefaultSoundAndTheBeepAreMadeByTheProgram) {
  auto r = inChild(disk("default.raw"), [&] {
    auto audio = openSdlAudio("Qspe");
    audio->playDefaultSound();
    SDL_Delay(400);
    audio->beep();
    SDL_Delay(400);
    return 0;
  });
  EXPECT_EQ(r.status, 0) << r.err;
  auto s = samplesOf(file("default.raw"));
  ASSERT_GT(s.size(), 600 * kSamplesPerMs);
  EXPECT_GT(peak(s, 0, 350 * kSamplesPerMs), 3000);
  EXPECT_GT(peak(s, 400 * kSamplesPerMs), 3000);
}

TEST_F(DiskAudio, ABrokenSoundfontSilencesTheMusicOnlyAndSaysSoOnce) {
  writeBytes(file("broken.sf2"), {'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f', 'b', 'k'});
  auto env = disk("nofont.raw");
  env["SDL_SOUNDFONTS"] = file("broken.sf2");
  auto r = inChild(env, [&] {
    auto audio = openSdlAudio("Qspe");
    MciSequencer mci([] { return static_cast<std::int64_t>(SDL_GetTicks()); }, *audio);
    mci.send("open " + file("tune.mid") + " type sequencer alias midifile");
    mci.send("play midifile");
    audio->playEffect(file("short.wav"));
    SDL_Delay(400);
    return mci.send("status midifile mode") == "playing" ? 0 : 3;
  });
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_EQ(r.err.rfind("Qspe: no music: cannot load the soundfont " + file("broken.sf2"), 0), 0u) << r.err;
  EXPECT_GT(peak(samplesOf(file("nofont.raw"))), 8000) << "the effect still sounds";
}

// Whatever keeps the output from opening, standard error gets the program's
// one line and nothing the audio libraries say on their own: ALSA with no
// usable device (here an empty configuration) talks a lot.
TEST(NoAudio, ADriverWithoutOutputGivesASilentDeviceAndOneLineSayingWhy) {
  TempDir tmp;
  writeBytes(tmp.file("empty.conf"), {});
  const std::map<std::string, std::string> drivers[] = {
      {{"SDL_AUDIODRIVER", "dummy"}},
      {{"SDL_AUDIODRIVER", "no-such-driver"}},
      {{"SDL_AUDIODRIVER", "alsa"}, {"ALSA_CONFIG_PATH", tmp.file("empty.conf")}},
  };
  for (const auto& env : drivers) {
    auto r = inChild(env, [] {
      auto audio = openSdlAudio("Qspe");
      auto tune = std::make_shared<const MidiTune>(MidiTune{"x.mid", tuneOfMs(100), MidiTiming(500, {}, 100)});
      audio->openMusic(tune);
      audio->playMusic(0);
      audio->playEffect("/nonexistent.wav");
      audio->playDefaultSound();
      audio->beep();
      audio->stopMusic();
      audio->closeMusic();
      return 0;
    });
    const std::string& driver = env.at("SDL_AUDIODRIVER");
    EXPECT_EQ(r.status, 0) << driver;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << driver << ":\n" << r.err;
    EXPECT_EQ(r.err.rfind("Qspe: no sound: ", 0), 0u) << driver << ":\n" << r.err;
  }
}

TEST(SoundFont, TheEnvironmentListComesFirstThenTheSystemDefault) {
  TempDir dir;
  std::string a = dir.file("a.sf2"), b = dir.file("b.sf2");
  writeBytes(a, {'x'});
  writeBytes(b, {'x'});
  EXPECT_EQ(findSoundFont(("/missing.sf2;" + b + ":" + a).c_str()).path, b);
  auto none = findSoundFont("/missing.sf2");
  EXPECT_EQ(none.path, "");
  EXPECT_NE(none.problem.find("SDL_SOUNDFONTS"), std::string::npos);
  auto system = findSoundFont("");
  if (fs::exists("/usr/share/sounds/sf2/default-GM.sf2"))
    EXPECT_EQ(system.path, "/usr/share/sounds/sf2/default-GM.sf2");
  else
    EXPECT_TRUE(system.path.empty() ? !system.problem.empty() : fs::exists(system.path));
  if (!system.path.empty()) {
    EXPECT_EQ(soundFontProblem(system.path), "") << system.path;
  }
}

}  // namespace
}  // namespace qs::test
