// The game-scene protocol, the same for every game scene: the load reads the
// record (a set clear flag puts "★" before the caption), the title music
// loops from the activation and the game's from its start, Z and X held together on the title start a game
// and leave in the same poll, and the unload writes the record as read and
// shows the menu.
#include <gtest/gtest.h>

#include "app/qspe_program.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

struct Scene {
  const char* form;
  const char* caption;
  int flagOffset;  // the scene's clear flag in the record; -1 for none
  const char* playMusic;
};

constexpr Scene kScenes[] = {
    {"FormQB", "QorvexBlast", 0, "bgm.mid"},        {"FormQBL", "QorvexBlast LEVEL", 2, "bgm.mid"},
    {"FormQBF", "QorvexBlast FINAL", 4, "bgm.mid"}, {"FormQRB", "QorvexReBirth", 6, "bgm.mid"},
    {"FormQS", "QorvexStrike!", 8, "bgm.mid"},      {"FormQF", "QorvexBlast Forever", 10, "fbgm.mid"},
    {"FormSam", "Qorvex侍", -1, nullptr},
};

class GameProtocol : public ::testing::TestWithParam<Scene> {};

std::string mci(const std::string& command) { return "mci \"" + command + "\""; }
std::string open(const std::string& tune) { return mci("open <dir>/" + tune + " type sequencer alias midifile"); }

TEST_P(GameProtocol, LoadTitleZAndXTogetherUnload) {
  const Scene& s = GetParam();
  // Every other flag set but not -1, the best scores odd values.
  Bytes record = bytesOfHex("0100020003000400050006000713000008300000");
  if (s.flagOffset >= 0) record[s.flagOffset] = record[s.flagOffset + 1] = 0xff;
  const std::string hex = hexOf(record);
  HeadlessRun run({.scores = record});
  run.load(makeQspe(run.rt(), run.audio()));
  const std::string f = s.form;
  auto t = run.run(f, "0 down Z\n0 down X\n20 up Z\n20 up X\n");
  // The sword game plays no music.
  const auto music = [&](std::vector<std::string> l) { return s.playMusic ? l : std::vector<std::string>{}; };
  std::vector<std::string> lines = {"0 load " + f, "0 read Qspe.dat " + hex};
  // clang-format off
  for (const auto& part : {music({open("title.mid")}), {"activate " + f}, music({mci("play midifile")}),
                           {"10 wav start.wav wait 0"},
                           music({"10 " + open(s.playMusic ? s.playMusic : ""), "10 " + mci("seek midifile to 1"),
                                  "10 " + mci("play midifile")}),
                           {"10 wav end.wav wait 0", "10 unload " + f, "10 write Qspe.dat " + hex},
                           music({"10 " + mci("close midifile")}), {"10 show FormMain"}})
    lines.insert(lines.end(), part.begin(), part.end());
  // clang-format on
  EXPECT_TRUE(t.inOrder(lines));
  const std::string star = "0 set " + f + " caption " + "\"★" + std::string(s.caption) + "\"";
  EXPECT_EQ(t.has(star), s.flagOffset >= 0) << t.dump();
  EXPECT_EQ(t.count("set " + f + " caption"), s.flagOffset >= 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Games, GameProtocol, ::testing::ValuesIn(kScenes),
                         [](const auto& info) { return std::string(info.param.form); });

}  // namespace
}  // namespace qs::test
