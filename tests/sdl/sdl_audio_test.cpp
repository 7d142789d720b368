// The audio output as SDL's disk driver writes it: what sounds when, and the
// one line the program says when part of it cannot sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "audio_child.h"
#include "platform/sdl/audio/sdl_audio.h"
#include "platform/sdl/audio/soundfont.h"
#include "sound/mci_sequencer.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

// A stretch of the output in ms (negative: from its end) and the peak it
// reaches (a positive bound) or stays under (a negative one).
struct Window {
  int fromMs, toMs, peak;
};
struct DiskRun {
  const char* what;
  std::string steps;  // "tune" opens tune.mid and plays it; "playing" fails the run unless it still plays
  std::vector<Window> windows;
  std::string says = "";  // the one line on standard error, if any
  bool brokenFont = false;
};

TEST(DiskAudio, EachSoundIsHeardWhenAndAsLongAsItShould) {
  const DiskRun runs[] = {
      {"a tune sent as commands is synthesized", "tune wait 600 playing", {{0, 300, 1000}}},
      {"a new effect cuts off the one still sounding", "effect long.wav wait 200 effect short.wav wait 700",
       {{0, 150, 8000}, {-150, 0, -50}}},  // gone well before the long one would end
      {"the default sound and the beep are made by the program", "default wait 400 beep wait 400",
       {{0, 350, 3000}, {400, 600, 3000}}},
      {"a broken soundfont silences the music only", "tune effect short.wav wait 400 playing", {{0, 300, 8000}},
       "Qspe: no music: cannot load the soundfont @broken.sf2", true},
  };
  const bool font = !findSoundFont(std::getenv("SDL_SOUNDFONTS")).path.empty();
  for (const DiskRun& c : runs) {
    SCOPED_TRACE(c.what);
    if (!font && !c.brokenFont) continue;  // no General MIDI soundfont installed
    TempDir dir;
    writeBytes(dir.file("tune.mid"), tuneOfMs(1500));
    writeBytes(dir.file("long.wav"), wavBytes(22050, 22050 * 2, 440, 0.5));  // 2 s
    writeBytes(dir.file("short.wav"), wavBytes(22050, 2205, 880, 0.5));      // 100 ms
    writeBytes(dir.file("broken.sf2"), {'R', 'I', 'F', 'F', 4, 0, 0, 0, 's', 'f', 'b', 'k'});
    std::map<std::string, std::string> env{{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", dir.file("out.raw")}};
    if (c.brokenFont) env["SDL_SOUNDFONTS"] = dir.file("broken.sf2");
    auto r = inChild(env, [&] {
      auto audio = openSdlAudio("Qspe");
      MciSequencer mci([] { return static_cast<std::int64_t>(SDL_GetTicks()); }, *audio);
      std::istringstream steps(c.steps);
      for (std::string step, word; steps >> step;) {
        if (step == "tune") mci.send("open " + dir.file("tune.mid") + " type sequencer alias midifile");
        if (step == "tune") mci.send("play midifile");
        if (step == "effect" && steps >> word) audio->playEffect(dir.file(word));
        if (step == "wait" && steps >> word) SDL_Delay(std::stoul(word));
        if (step == "default") audio->playDefaultSound();
        if (step == "beep") audio->beep();
        if (step == "playing" && mci.send("status midifile mode") != "playing") return 3;
      }
      return 0;
    });
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string says = c.says.empty() ? "" : c.says.substr(0, c.says.find('@')) + dir.file("broken.sf2");
    EXPECT_EQ(r.err.substr(0, says.size()), says) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), says.empty() ? 0 : 1) << r.err;
    // Signed 16-bit stereo frames (88 samples a ms), measured from the first
    // sound: under load the output may start well before the first call.
    const Bytes raw = readBytes(dir.file("out.raw"));
    std::vector<std::int16_t> s(raw.size() / 2);
    std::memcpy(s.data(), raw.data(), s.size() * 2);
    const auto first = std::ranges::find_if(s, [](int v) { return std::abs(v) > 50; }) - s.begin();
    for (const auto [from, to, bound] : c.windows) {
      const auto begin = from < 0 ? std::ssize(s) + 88 * from : first + 88 * from, end = to > 0 ? first + 88 * to : std::ssize(s);
      ASSERT_TRUE(begin >= first && end <= std::ssize(s)) << "the output ends " << (std::ssize(s) - first) / 88 << " ms in";
      int peak = 0;
      for (auto i = begin; i < end; ++i) peak = std::max(peak, std::abs(int{s[i]}));
      EXPECT_TRUE(bound > 0 ? peak > bound : peak < -bound) << peak << " from " << from << " ms to " << to;
    }
  }
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
    SCOPED_TRACE(env.at("SDL_AUDIODRIVER"));
    auto r = inChild(env, [] {
      auto audio = openSdlAudio("Qspe");
      audio->openMusic(std::make_shared<const MidiTune>(MidiTune{"x.mid", tuneOfMs(100), MidiTiming(500, {}, 100)}));
      audio->playMusic(0);
      audio->playEffect("/nonexistent.wav");
      audio->playDefaultSound();
      audio->beep();
      audio->stopMusic();
      audio->closeMusic();
      return 0;
    });
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(r.err.starts_with("Qspe: no sound: ")) << r.err;
  }
}

TEST(SoundFont, TheEnvironmentListComesFirstThenTheSystemDefault) {
  TempDir dir;
  const std::string a = dir.file("a.sf2"), b = dir.file("b.sf2");
  writeBytes(a, {'x'});
  writeBytes(b, {'x'});
  EXPECT_EQ(findSoundFont(("/missing.sf2;" + b + ":" + a).c_str()).path, b);
  const auto none = findSoundFont("/missing.sf2");
  EXPECT_EQ(none.path, "");
  EXPECT_NE(none.problem.find("SDL_SOUNDFONTS"), std::string::npos);
  const auto system = findSoundFont("");
  if (std::filesystem::exists("/usr/share/sounds/sf2/default-GM.sf2")) {
    EXPECT_EQ(system.path, "/usr/share/sounds/sf2/default-GM.sf2");
  }
  EXPECT_TRUE(system.path.empty() ? !system.problem.empty() : soundFontProblem(system.path).empty()) << system.path;
}

}  // namespace
}  // namespace qs::test
