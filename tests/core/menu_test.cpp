#include <gtest/gtest.h>

#include <algorithm>

#include "qspe/game_scene.h"
#include "runtime/keys.h"
#include "qspe/menu.h"
#include "qspe/pending_game_scene.h"
#include "qspe/pending_intro_scene.h"
#include "runtime/runtime.h"
#include "app/qspe_program.h"
#include "support/scene_harness.h"
#include "support/temp_dir.h"

namespace qs::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A program directory with a score record (none when `rec` is empty) and,
// when asked, WAV files of known lengths.
struct MenuRun {
  explicit MenuRun(std::optional<ScoreRecord> rec = std::nullopt, std::int64_t until = kNever)
      : run({.dir = dir.path(), .until = until}) {
    if (rec) {
      auto b = rec->toBytes();
      writeBytes(dir.file("Qspe.dat"), Bytes(b.begin(), b.end()));
    }
  }
  // The menu and a stand-in for every game not registered yet, whatever real
  // game scenes the program has by now.
  void registerAll() {
    Runtime& rt = run.rt();
    rt.addForm(std::make_unique<FormMain>(run.services()));
    for (int i = 0; i < pendingGameCount(); ++i)
      if (!rt.hasForm(pendingGames()[i].name)) rt.addForm(std::make_unique<PendingGameScene>(pendingGames()[i], run.services()));
    rt.addForm(std::make_unique<PendingIntroScene>());
  }
  const std::vector<std::string>& go(const std::string& script) {
    registerAll();
    return run.run("FormMain", script);
  }
  // Trace lines from index `from` on that contain `text`.
  int count(const std::string& text, int from = 0) const {
    auto& ls = run.lines();
    return static_cast<int>(std::count_if(ls.begin() + std::min<long>(from, static_cast<long>(ls.size())), ls.end(),
                                          [&](const std::string& l) { return l.find(text) != std::string::npos; }));
  }
  // Index of the first line at or after `from` that contains `text`; -1 if none.
  int find(const std::string& text, int from = 0) const {
    auto& ls = run.lines();
    for (int i = std::max(0, from); i < static_cast<int>(ls.size()); ++i)
      if (ls[static_cast<std::size_t>(i)].find(text) != std::string::npos) return i;
    return -1;
  }

  TempDir dir;
  HeadlessRun run;
};

ScoreRecord flags(int n, std::int16_t rest = 0) {
  ScoreRecord r;
  std::int16_t* f[] = {&r.clearQB, &r.clearQBL, &r.clearQBF, &r.clearQRB, &r.clearQS, &r.clearQF};
  for (int i = 0; i < 6; ++i) *f[i] = i < n ? kTrue : rest;
  return r;
}

// Presses (down, then up 10 ms later) of `key`, 100 ms apart from `at`.
std::string presses(const std::string& key, int n, int at) {
  std::string s;
  for (int i = 0; i < n; ++i, at += 100)
    s += std::to_string(at) + " down " + key + "\n" + std::to_string(at + 10) + " up " + key + "\n";
  return s;
}

TEST(Menu, DesignStackingAndPictures) {
  MenuRun m;
  m.go("0 dump\n");
  std::vector<std::string> order;
  for (auto& l : m.run.grep(" dump FormMain.")) {
    auto start = l.find("FormMain.") + 9;
    order.push_back(l.substr(start, l.find(' ', start) - start));
  }
  std::vector<std::string> expected = {"Label3",      "Label2",      "Label1",      "txtEvent",    "txtTitle",
                                       "LabelStar",   "Label8",      "imgTitle(0)", "imgTitle(1)", "imgTitle(2)",
                                       "imgTitle(4)", "imgTitle(6)", "imgTitle(5)", "imgTitle(3)", "txtBG",
                                       "Ques1",       "Ques2",       "TimeTxt",     "TimeEvent"};
  EXPECT_EQ(order, expected) << m.run.dump();
  EXPECT_EQ(m.count("dump FormMain.imgTitle(5) picture=\"title5.bmp\" visible=0 left=1560 top=840 width=1080 "
                    "height=1080"),
            1)
      << m.run.dump();
  EXPECT_EQ(m.count("dump FormMain.imgTitle(6) picture=\"title6.bmp\" visible=0"), 1);
  EXPECT_EQ(m.count("dump FormMain.imgTitle(3) picture=\"title3.bmp\" visible=1"), 1);
  EXPECT_EQ(m.count("dump FormMain.Ques2 picture=\"ques2.bmp\" visible=1"), 1);
  EXPECT_EQ(m.count("dump FormMain.txtBG caption=\"J\" visible=1 left=0 top=-240 width=4215 height=3375 fore=#400040 "
                    "font=\"Wingdings\" size=180 bold=0"),
            1)
      << m.run.dump();
  EXPECT_EQ(m.count("dump FormMain caption=\"QorvexSpecial!! - Ver. Millennium -\" visible=1"), 1);
}

// The window shows in the middle of its Form_Load, before the backdrop's size
// and the stars; it becomes active once the load is done.
TEST(Menu, LoadReadsTheRecordOnceShowsMidwayAndActivationLoopsTheMenuMusic) {
  MenuRun m(flags(2));
  m.go("20 quit\n");
  int read = m.find("0 read Qspe.dat ffffffff");
  int open1 = m.find("mci \"open <dir>/select.mid type sequencer alias midifile\"");
  int show = m.find("0 show FormMain");
  int size = m.find("0 set FormMain.txtBG size 180");
  int stars = m.find("0 set FormMain.LabelStar caption");
  int activate = m.find("0 activate FormMain");
  int open2 = m.find("mci \"open <dir>/select.mid", open1 + 1);
  int play = m.find("mci \"play midifile\"");
  ASSERT_GE(read, 0) << m.run.dump();
  EXPECT_TRUE(read < open1 && open1 < show && show < size && size < stars && stars < activate &&
              activate < open2 && open2 < play)
      << m.run.dump();
  EXPECT_EQ(m.count("show FormMain"), 1);
  EXPECT_EQ(m.count("activate FormMain"), 1);
  EXPECT_EQ(m.count("read Qspe.dat"), 1);
  EXPECT_TRUE(m.run.has("0 set FormMain.LabelStar caption \"★★\"")) << m.run.dump();
}

TEST(Menu, AllZeroRecordLocksBothLastEntriesAndZOnThemChangesNoScene) {
  MenuRun m;
  std::string s = presses("Right", 5, 100);  // to entry 5
  s += "700 down Z\n710 up Z\n";
  s += presses("Right", 1, 800);  // entry 6
  s += "1000 down Z\n1010 up Z\n1100 dump\n";
  m.go(s);
  EXPECT_EQ(m.count("set FormMain.LabelStar"), 0) << m.run.dump();
  int at5 = m.find("500 set FormMain.txtTitle caption \"??????????? ???????\"");
  ASSERT_GE(at5, 0) << m.run.dump();
  EXPECT_TRUE(m.run.has("500 zorder FormMain.Ques1")) << m.run.dump();
  EXPECT_TRUE(m.run.has("800 set FormMain.txtTitle caption \"????????\"")) << m.run.dump();
  EXPECT_TRUE(m.run.has("800 zorder FormMain.Ques2")) << m.run.dump();
  EXPECT_EQ(m.count("imgTitle(5) visible"), 0);
  EXPECT_EQ(m.count("imgTitle(6) visible"), 0);
  // Z plays the choice and stops the music, and nothing else happens.
  int z = m.find("700 wav choice.wav wait");
  ASSERT_GE(z, 0) << m.run.dump();
  EXPECT_NE(m.run.lines()[static_cast<std::size_t>(z + 1)].find("mci \"stop midifile \""), std::string::npos);
  EXPECT_EQ(m.count("FormFirst"), 0) << m.run.dump();
  EXPECT_EQ(m.count("FormSam"), 0) << m.run.dump();
  EXPECT_EQ(m.count("hide FormMain"), 0);
  EXPECT_TRUE(m.run.has("1100 dump FormMain caption=\"QorvexSpecial!! - Ver. Millennium -\" visible=1 width=4320 "
                        "height=3795 back=#800080"))
      << m.run.dump();
}

TEST(Menu, FiveFlagsOpenEntryFiveButNotSix) {
  MenuRun m(flags(5));
  std::string s = presses("Right", 6, 100);  // to entry 6
  s += "700 down Z\n710 up Z\n";             // locked: nothing
  s += presses("Left", 1, 800);              // entry 5
  s += "1000 down Z\n";
  m.go(s);
  EXPECT_TRUE(m.run.has("0 set FormMain.LabelStar caption \"★★★★★\"")) << m.run.dump();
  EXPECT_TRUE(m.run.has("500 set FormMain.txtTitle caption \"QorvexBlast Forever\"")) << m.run.dump();
  EXPECT_TRUE(m.run.has("500 set FormMain.imgTitle(5) visible 1"));
  EXPECT_TRUE(m.run.has("500 set FormMain.txtTitle fore #FFFFFF"));
  EXPECT_EQ(m.count("zorder FormMain.Ques1"), 0);
  EXPECT_TRUE(m.run.has("600 set FormMain.txtTitle caption \"????????\"")) << m.run.dump();
  EXPECT_EQ(m.count("FormSam"), 0);
  int show = m.find("1000 show FormFirst");
  ASSERT_GE(show, 0) << m.run.dump();
  EXPECT_GT(m.find("1000 hide FormMain"), show);
}

TEST(Menu, AFlagOfOneCountsAsNotCleared) {
  MenuRun m(flags(4, 1));  // four -1 and two 1
  m.go(presses("Right", 5, 100) + "700 down Z\n");
  EXPECT_TRUE(m.run.has("0 set FormMain.LabelStar caption \"★★★★\"")) << m.run.dump();
  EXPECT_TRUE(m.run.has("500 set FormMain.txtTitle caption \"??????????? ???????\"")) << m.run.dump();
  EXPECT_EQ(m.count("FormFirst"), 0);
}

TEST(Menu, SixFlagsOpenEverything) {
  MenuRun m(flags(6));
  m.go(presses("Right", 6, 100) + "700 down Z\n");
  EXPECT_TRUE(m.run.has("0 set FormMain.LabelStar caption \"★★★★★★\"")) << m.run.dump();
  EXPECT_TRUE(m.run.has("600 set FormMain.txtTitle caption \"Qorvex侍\"")) << m.run.dump();
  EXPECT_TRUE(m.run.has("600 set FormMain.txtTitle fore #FF00FF"));
  EXPECT_TRUE(m.run.has("600 set FormMain.imgTitle(6) visible 1"));
  EXPECT_TRUE(m.run.has("600 set FormMain.Label3 caption \"\""));
  EXPECT_EQ(m.count("zorder FormMain.Ques"), 0);
  int show = m.find("700 show FormSam");
  ASSERT_GE(show, 0) << m.run.dump();
  EXPECT_GT(m.find("700 hide FormMain"), show);
  // The Samurai scene has no music of its own.
  EXPECT_EQ(m.count("title.mid"), 0);
}

TEST(Menu, OnePressMovesOneEntryHoweverLongTheKeyIsHeld) {
  MenuRun m;
  std::string s = presses("Right", 3, 100);  // entry 3
  s += "500 down Left\n";
  for (int t = 530; t <= 800; t += 30) s += std::to_string(t) + " repeat Left\n";
  s += "900 up Left\n";
  s += "1000 down Right\n1030 repeat Right\n1060 repeat Right\n1100 up Right\n";
  s += "1200 down Left\n1300 up Left\n";
  m.go(s);
  int from = m.find("500 key FormMain down Left");
  ASSERT_GE(from, 0);
  EXPECT_EQ(m.count("zorder", from), 3) << m.run.dump();
  EXPECT_TRUE(m.run.has("500 zorder FormMain.imgTitle(2)"));
  EXPECT_TRUE(m.run.has("500 set FormMain.txtTitle caption \"QorvexBlast FINAL\""));
  EXPECT_TRUE(m.run.has("1000 zorder FormMain.imgTitle(3)"));
  EXPECT_TRUE(m.run.has("1200 zorder FormMain.imgTitle(2)"));
  EXPECT_EQ(m.count("caption \"QorvexBlast LEVEL\"", from), 0) << m.run.dump();
  EXPECT_EQ(m.count("caption \"QorvexStrike!\"", from), 0) << m.run.dump();
}

TEST(Menu, NoWrapAroundAtEitherEnd) {
  MenuRun m;
  std::string s = presses("Left", 2, 100);  // at entry 0
  s += presses("Right", 6, 300);            // to entry 6
  s += presses("Right", 2, 900);            // past the end: nothing
  m.go(s);
  EXPECT_EQ(m.count("zorder FormMain.imgTitle", 0), 6) << m.run.dump();
  EXPECT_EQ(m.find("zorder FormMain.imgTitle"), m.find("300 zorder FormMain.imgTitle(1)"));
  EXPECT_TRUE(m.run.has("10 set FormMain.Label2 caption \"\""));
  int last = m.find("900 key FormMain down Right");
  ASSERT_GE(last, 0);
  EXPECT_EQ(m.count("txtTitle", last), 0) << m.run.dump();
  EXPECT_EQ(m.count("zorder", last), 0) << m.run.dump();
  EXPECT_EQ(m.count("caption \"QorvexBlast\""), 1);  // entry 0 shown once, at the first tick
}

TEST(Menu, XStopsTheMusicWaitsForEndWavAndEndsAtOnce) {
  MenuRun m(flags(1));
  writeSilentWav(m.dir.file("end.wav"), 300);
  m.go("1000 down X\n1500 down Z\n");
  auto& ls = m.run.lines();
  int key = m.find("1000 key FormMain down X");
  ASSERT_GE(key, 0) << m.run.dump();
  std::vector<std::string> tail(ls.begin() + key, ls.end());
  std::vector<std::string> expected = {
      "1000 key FormMain down X", "1000 mci \"stop midifile \"", "1000 mci \"stop midifile \"",
      "1000 mci \"close midifile\"", "1000 wav end.wav wait 300", "1300 end",
  };
  EXPECT_EQ(tail, expected) << m.run.dump();
  EXPECT_EQ(m.count("write"), 0);
  EXPECT_EQ(m.count("unload"), 0);
}

TEST(Menu, TitleUpdatesEveryTenMilliseconds) {
  MenuRun m;
  m.go(presses("Right", 1, 100) + presses("Right", 4, 300) + "800 quit\n");
  EXPECT_EQ(m.find("txtTitle"), m.find("10 set FormMain.txtTitle caption \"QorvexBlast\"")) << m.run.dump();
  EXPECT_TRUE(m.run.has("10 set FormMain.txtTitle fore #808080"));
  EXPECT_TRUE(m.run.has("10 set FormMain.Label2 caption \"\""));
  // The key comes before the tick due at the same time.
  int key = m.find("100 key FormMain down Right");
  int title = m.find("100 set FormMain.txtTitle caption \"QorvexBlast LEVEL\"");
  ASSERT_GE(key, 0);
  EXPECT_GT(title, key) << m.run.dump();
  EXPECT_TRUE(m.run.has("100 set FormMain.txtTitle fore #00FFFF"));
  EXPECT_TRUE(m.run.has("100 set FormMain.Label2 caption \"≪\""));
  // Locked entry 5 brings its question mark up, on every tick that finds it covered.
  int ques = m.find("600 zorder FormMain.Ques1");
  int locked = m.find("600 set FormMain.txtTitle caption \"??????????? ???????\"");
  ASSERT_GE(ques, 0) << m.run.dump();
  EXPECT_LT(ques, locked);
  EXPECT_EQ(m.count("zorder FormMain.Ques1"), 1);
}

TEST(Menu, BlinkPhasesOfTheTextAndTheArrows) {
  MenuRun m;
  m.go("1010 quit\n");
  // The first tick shows the text (already shown) and hides the arrows.
  EXPECT_EQ(m.count("250 set FormMain.txtEvent"), 0) << m.run.dump();
  EXPECT_TRUE(m.run.has("250 set FormMain.Label2 visible 0"));
  EXPECT_TRUE(m.run.has("250 set FormMain.Label3 visible 0"));
  EXPECT_TRUE(m.run.has("500 set FormMain.txtEvent visible 0"));
  EXPECT_TRUE(m.run.has("500 set FormMain.Label2 visible 1"));
  EXPECT_TRUE(m.run.has("500 set FormMain.Label3 visible 1"));
  EXPECT_TRUE(m.run.has("750 set FormMain.txtEvent visible 1"));
  EXPECT_TRUE(m.run.has("750 set FormMain.Label2 visible 0"));
  EXPECT_TRUE(m.run.has("1000 set FormMain.txtEvent visible 0"));
  EXPECT_TRUE(m.run.has("1000 set FormMain.Label3 visible 1"));
  EXPECT_EQ(m.count("visible"), 11) << m.run.dump();
}

// Stands in for a game that sets a clear flag: Z wins, X leaves.
class WinningGame : public GameScene {
 public:
  explicit WinningGame(GameServices& s) : GameScene("FormQB", Units::Pixels, s) {}
  void design() override { setClientSize(165, 265); }
  void Form_Load() override { loadProtocol(); }
  void Form_Activate() override { activateProtocol(); }
  void Form_Unload() override { unloadProtocol(); }
  void Form_KeyDown(int key) override {
    if (key == vbKeyZ) scoreRec.clearQBL = kTrue;
    if (key == vbKeyX) unload();
  }
};

TEST(Menu, AGameSceneWritesTheRecordAtUnloadAndTheNextSceneReadsIt) {
  MenuRun m(ScoreRecord{0, 0, 0, 0, 0, 0, 12345, 0});
  m.run.add<WinningGame>();  // registered first: no stand-in is added for it
  std::string s = "100 down Z\n110 up Z\n";  // entry 0: the winning game
  s += "200 down Z\n210 up Z\n300 down X\n310 up X\n";
  s += presses("Right", 1, 400) + "500 down Z\n510 up Z\n";  // entry 1: the stand-in of FormQBL
  s += "600 down X\n700 up X\n800 close FormMain\n";
  m.go(s);
  // clearQBL set, hiScoreQF 12345 kept.
  const std::string wonHex = "0000ffff" "0000000000000000" "39300000" "00000000";
  int write = m.find("300 write Qspe.dat " + wonHex);
  ASSERT_GE(write, 0) << m.run.dump();
  EXPECT_LT(m.find("300 unload FormQB"), write);
  EXPECT_GT(m.find("300 show FormMain", write), write);
  EXPECT_TRUE(m.run.has("500 read Qspe.dat " + wonHex)) << m.run.dump();
  EXPECT_TRUE(m.run.has("500 set FormQBL caption \"★QorvexBlast LEVEL\"")) << m.run.dump();
  // The menu's own copy (no stars) stays; closing it writes nothing over the file.
  EXPECT_EQ(m.count("LabelStar"), 0);
  int close = m.find("800 unload FormMain");
  ASSERT_GE(close, 0) << m.run.dump();
  EXPECT_EQ(m.count("write", close), 0) << m.run.dump();
  EXPECT_TRUE(m.run.has("800 end"));
  auto disk = readBytes(m.dir.file("Qspe.dat"));
  ScoreRecord onDisk = ScoreRecord::fromBytes(disk.data(), disk.size());
  EXPECT_EQ(onDisk.clearQBL, kTrue);
  EXPECT_EQ(onDisk.hiScoreQF, 12345);
}

TEST(Menu, ZOnAnOpenEntryStopsTheMenuMusicAndHandsOverToTheGame) {
  MenuRun m;
  writeSilentWav(m.dir.file("choice.wav"), 200);
  m.go("100 down Z\n110 up Z\n400 down X\n450 up X\n600 quit\n");
  std::vector<std::string> order = {"100 wav choice.wav wait 200", "300 mci \"stop midifile \"", "300 load FormQB",
                                    "300 read Qspe.dat ",
                                    "300 mci \"open <dir>/title.mid type sequencer alias midifile\"",
                                    "300 show FormQB", "300 activate FormQB", "300 mci \"play midifile\"",
                                    "300 hide FormMain"};
  int at = 0;
  for (auto& l : order) {
    int i = m.run.indexOf(l, at);
    ASSERT_GE(i, at) << "missing or out of order: " << l << "\n" << m.run.dump();
    at = i;
  }
  // The 10 ms poll due with the X press sees it; back on the menu its music starts again.
  int back = m.find("400 wav end.wav wait 0");
  ASSERT_GE(back, 0) << m.run.dump();
  std::vector<std::string> leave = {"400 unload FormQB", "400 write Qspe.dat 0000000000000000000000000000000000000000",
                                    "400 mci \"close midifile\"", "400 show FormMain", "400 activate FormMain",
                                    "400 mci \"open <dir>/select.mid type sequencer alias midifile\"",
                                    "400 mci \"play midifile\""};
  at = back;
  for (auto& l : leave) {
    int i = m.run.indexOf(l, at);
    ASSERT_GE(i, at) << "missing or out of order: " << l << "\n" << m.run.dump();
    at = i;
  }
}

TEST(Menu, ClosingTheMenuStopsItsMusicWritesNothingAndEnds) {
  MenuRun m(flags(3));
  m.go("500 close FormMain\n");
  int close = m.find("500 unload FormMain");
  ASSERT_GE(close, 0) << m.run.dump();
  std::vector<std::string> tail(m.run.lines().begin() + close, m.run.lines().end());
  std::vector<std::string> expected = {"500 unload FormMain", "500 mci \"stop midifile \"",
                                       "500 mci \"stop midifile \"", "500 mci \"close midifile\"", "500 end"};
  EXPECT_EQ(tail, expected) << m.run.dump();
  auto b = flags(3).toBytes();
  EXPECT_EQ(readBytes(m.dir.file("Qspe.dat")), Bytes(b.begin(), b.end()));
}

TEST(SceneFlow, EveryMenuEntryLeadsToARegisteredScene) {
  TempDir dir;
  HeadlessRun run({.dir = dir.path()});
  SilentAudio audio;
  QspeProgram program(run.rt(), audio);
  for (const char* name : {"FormStartUp", "FormMain", "FormQB", "FormQBL", "FormQBF", "FormQRB", "FormQS", "FormFirst",
                           "FormQF", "FormSam"})
    EXPECT_TRUE(run.rt().hasForm(name)) << name;
}

TEST(SceneFlow, AStandInKeepsItsGamesCaptionSizeColourAndStar) {
  MenuRun m(ScoreRecord{0, 0, kTrue, 0, 0, 0, 0, 0});
  m.go(presses("Right", 2, 100) + "300 down Z\n310 up Z\n400 dump\n500 down X\n510 up X\n600 quit\n");
  EXPECT_TRUE(m.run.has("300 set FormQBF caption \"★QorvexBlast FINAL\"")) << m.run.dump();
  EXPECT_TRUE(m.run.has("400 dump FormQBF caption=\"★QorvexBlast FINAL\" visible=1 width=4100 height=2850 "
                        "back=#C0C000"))
      << m.run.dump();
  // X is seen by the 10 ms poll: end.wav, then the record goes back whole.
  int quit = m.find("500 wav end.wav wait");
  ASSERT_GE(quit, 0) << m.run.dump();
  EXPECT_GT(m.find("500 unload FormQBF", quit), quit);
  EXPECT_TRUE(m.run.has("500 write Qspe.dat 00000000ffff0000000000000000000000000000")) << m.run.dump();
  EXPECT_GT(m.find("500 activate FormMain", quit), quit);
}

TEST(SceneFlow, EntryFiveGoesThroughTheIntroToTheForeverShooterAndBack) {
  MenuRun m(flags(5));
  std::string s = presses("Right", 5, 100) + "700 down Z\n710 up Z\n";
  s += "800 down Z\n900 up Z\n";    // the intro is left while Z is held
  s += "1000 down X\n1010 up X\n";  // the shooter is left for the menu
  s += "1100 quit\n";
  m.go(s);
  std::vector<std::string> order = {"700 show FormFirst", "700 hide FormMain",   "800 unload FormFirst",
                                    "800 load FormQF",    "800 show FormQF",     "800 activate FormQF",
                                    "1000 unload FormQF", "1000 show FormMain", "1000 activate FormMain"};
  int at = 0;
  for (auto& l : order) {
    int i = m.run.indexOf(l, at);
    ASSERT_GE(i, at) << "missing or out of order: " << l << "\n" << m.run.dump();
    at = i;
  }
  EXPECT_TRUE(m.run.has("800 mci \"open <dir>/title.mid type sequencer alias midifile\"")) << m.run.dump();
  // No star for the Forever shooter: its own flag is not set.
  EXPECT_EQ(m.count("set FormQF caption"), 0);
}

TEST(SceneFlow, TheSamuraiStandInHasNoMusicButKeepsTheRecord) {
  MenuRun m(ScoreRecord{kTrue, kTrue, kTrue, kTrue, kTrue, kTrue, 0, 4321});
  m.go(presses("Right", 6, 100) + "700 down Z\n710 up Z\n800 down X\n810 up X\n900 quit\n");
  int shown = m.find("700 show FormSam");
  ASSERT_GE(shown, 0) << m.run.dump();
  int left = m.find("800 unload FormSam");
  ASSERT_GT(left, shown) << m.run.dump();
  // The menu's music player still polls its stopped tune; nothing opens or plays another.
  for (int i = shown; i < left; ++i) {
    const std::string& l = m.run.lines()[static_cast<std::size_t>(i)];
    EXPECT_EQ(l.find("mci \"open"), std::string::npos) << l;
    EXPECT_EQ(l.find("mci \"play"), std::string::npos) << l;
  }
  EXPECT_EQ(m.count("set FormSam caption"), 0);  // no clear flag, no star
  EXPECT_TRUE(m.run.has("800 write Qspe.dat ffffffffffffffffffffffff00000000e1100000")) << m.run.dump();
}

}  // namespace
}  // namespace qs::test
