#include <gtest/gtest.h>

#include <optional>

#include "app/qspe_program.h"
#include "games/forever/form_first.h"
#include "games/forever/form_qf.h"
#include "qspe/game_scene.h"
#include "qspe/menu.h"
#include "support/stand_in_scene.h"
#include "runtime/keys.h"
#include "support/headless_run.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

ScoreRecord flags(int n, std::int16_t rest = 0) {
  ScoreRecord r;
  std::int16_t* f[] = {&r.clearQB, &r.clearQBL, &r.clearQBF, &r.clearQRB, &r.clearQS, &r.clearQF};
  for (int i = 0; i < 6; ++i) *f[i] = i < n ? kTrue : rest;
  return r;
}

// Presses (down, then up 10 ms later) of `key`, 100 ms apart from `at`.
std::string presses(const std::string& key, int n, int at) {
  std::string s;
  for (int i = 0; i < n; ++i, at += 100) s += press(at, key);
  return s;
}

// The menu with the Forever shooter and a stand-in for every other game the
// test does not register itself, in a program directory with the given record
// (none by default) and effects of known lengths.
class Menu : public ::testing::Test {
 protected:
  HeadlessRun& make(std::optional<ScoreRecord> rec = std::nullopt) {
    HeadlessRun::Setup setup;
    if (rec) setup.scores = bytesOf(rec->toBytes());
    return run.emplace(std::move(setup));
  }
  TraceView go(const std::string& script) {
    if (!run) make();
    Runtime& rt = run->rt();
    rt.addForm(std::make_unique<FormMain>(run->services()));
    if (!rt.hasForm("FormQF")) rt.addForm(std::make_unique<FormQF>(run->services()));
    for (int i = 0; i < pendingGameCount(); ++i)
      if (!rt.hasForm(pendingGames()[i].name))
        rt.addForm(std::make_unique<PendingGameScene>(pendingGames()[i], run->services()));
    rt.addForm(std::make_unique<FormFirst>());
    return run->run("FormMain", script);
  }
  void withSound(const std::string& name, std::uint32_t ms) { writeBytes(run->file(name), wavOfMs(ms)); }

  std::optional<HeadlessRun> run;
};

// The window shows in the middle of its Form_Load, before the backdrop's size
// and the stars; it becomes active once the load is done.
TEST_F(Menu, LoadReadsTheRecordOnceShowsMidwayAndActivationLoopsTheMenuMusic) {
  make(flags(2));
  auto t = go("20 quit\n");
  EXPECT_TRUE(t.inOrder({"0 read Qspe.dat ffffffff00000000000000000000000000000000",
                         "0 mci \"open <dir>/select.mid type sequencer alias midifile\"", "0 show FormMain",
                         "0 set FormMain.txtBG size 180", "0 set FormMain.LabelStar caption \"★★\"",
                         "0 activate FormMain", "0 mci \"open <dir>/select.mid type sequencer alias midifile\"",
                         "0 mci \"play midifile\""}));
  for (const char* once : {"read Qspe.dat", "show FormMain", "activate FormMain"}) EXPECT_EQ(t.count(once), 1) << once;
}

// The last two entries open with five and six clear flags set; only -1 counts.
struct Locks {
  ScoreRecord record;
  const char* stars;  // LabelStar's caption; none when no flag is set
  bool fiveOpen;
  bool sixOpen;
};

void PrintTo(const Locks& l, std::ostream* os) { *os << "stars \"" << l.stars << "\""; }

class MenuLocks : public Menu, public ::testing::WithParamInterface<Locks> {};

TEST_P(MenuLocks, EntriesFiveAndSixOpenOnlyWithTheirFlagsAndZOnALockedOneChangesNoScene) {
  const Locks& l = GetParam();
  for (int entry : {5, 6}) {
    SCOPED_TRACE(entry);
    const bool open = entry == 5 ? l.fiveOpen : l.sixOpen;
    const std::string shown = std::to_string(100 * entry), scene = entry == 5 ? "FormFirst" : "FormSam";
    make(l.record);
    auto t = go(presses("Right", entry, 100) + "700 down Z\n710 up Z\n800 quit\n");
    EXPECT_EQ(t.count("set FormMain.LabelStar"), *l.stars ? 1 : 0);
    if (*l.stars) {
      EXPECT_TRUE(t.has("0 set FormMain.LabelStar caption \"" + std::string(l.stars) + "\""));
    }
    const char* title = !open ? (entry == 5 ? "??????????? ???????" : "????????")
                              : (entry == 5 ? "QorvexBlast Forever" : "Qorvex侍");
    EXPECT_TRUE(t.has(shown + " set FormMain.txtTitle caption \"" + title + "\"")) << t.dump();
    EXPECT_EQ(t.has(shown + " zorder FormMain.Ques" + std::to_string(entry - 4)), !open);
    EXPECT_EQ(t.has(shown + " set FormMain.imgTitle(" + std::to_string(entry) + ") visible 1"), open);
    EXPECT_EQ(t.has("700 show " + scene), open);
    EXPECT_EQ(t.has("700 hide FormMain"), open);
    if (!open) {  // Z plays the choice and stops the music, and nothing else happens
      const int z = t.find("700 wav choice.wav wait");
      ASSERT_GE(z, 0) << t.dump();
      EXPECT_EQ(t[z + 1], "700 mci \"stop midifile \"");
      EXPECT_EQ(t.count(scene), 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Menu, MenuLocks,
                         ::testing::Values(Locks{flags(0), "", false, false}, Locks{flags(4, 1), "★★★★", false, false},
                                           Locks{flags(5), "★★★★★", true, false},
                                           Locks{flags(6), "★★★★★★", true, true}));

TEST_F(Menu, OnePressMovesOneEntryHoweverLongTheKeyIsHeldAndNeverPastTheEnds) {
  std::string s = presses("Left", 1, 100);  // at entry 0 already: nothing
  s += presses("Right", 3, 200);            // entry 3
  s += "500 down Left\n";
  for (int t = 530; t <= 800; t += 30) s += std::to_string(t) + " repeat Left\n";
  s += "900 up Left\n1000 down Right\n1030 repeat Right\n1060 repeat Right\n1100 up Right\n";  // 2, then 3
  s += presses("Right", 5, 1200);  // to 6 and past the end
  auto t = go(s);
  EXPECT_EQ(t.grep("zorder FormMain.imgTitle", true),
            (std::vector<std::string>{"zorder FormMain.imgTitle(1)", "zorder FormMain.imgTitle(2)",
                                      "zorder FormMain.imgTitle(3)", "zorder FormMain.imgTitle(2)",
                                      "zorder FormMain.imgTitle(3)", "zorder FormMain.imgTitle(4)",
                                      "zorder FormMain.imgTitle(5)", "zorder FormMain.imgTitle(6)"}));
  EXPECT_EQ(t.first("zorder FormMain.imgTitle(1)"), 200);
  EXPECT_EQ(t.first("zorder FormMain.imgTitle(6)"), 1400);
  EXPECT_EQ(t.count("txtTitle", t.indexOf("1500 key FormMain down Right")), 0);
  EXPECT_EQ(t.count("caption \"QorvexBlast\""), 1) << "entry 0 shown once, at the first tick";
}

TEST_F(Menu, XStopsTheMusicWaitsForEndWavAndEndsAtOnce) {
  make(flags(1));
  withSound("end.wav", 300);
  auto t = go("1000 down X\n1500 down Z\n");
  const int key = t.indexOf("1000 key FormMain down X");
  ASSERT_GE(key, 0) << t.dump();
  EXPECT_EQ(std::vector(t.lines().begin() + key, t.lines().end()),
            (std::vector<std::string>{"1000 key FormMain down X", "1000 mci \"stop midifile \"",
                                      "1000 mci \"stop midifile \"", "1000 mci \"close midifile\"",
                                      "1000 wav end.wav wait 300", "1300 end"}));
  EXPECT_EQ(t.count("write"), 0);
}

TEST_F(Menu, TheTitleFollowsTheEntryEvery10msAfterTheKey) {
  auto t = go(presses("Right", 1, 100) + presses("Right", 4, 300) + "800 quit\n");
  EXPECT_EQ(t.find("txtTitle"), t.indexOf("10 set FormMain.txtTitle caption \"QorvexBlast\""));
  for (const char* line : {"10 set FormMain.txtTitle fore #808080", "10 set FormMain.Label2 caption \"\"",
                           "100 set FormMain.txtTitle fore #00FFFF", "100 set FormMain.Label2 caption \"≪\""})
    EXPECT_TRUE(t.has(line)) << line;
  EXPECT_TRUE(t.inOrder({"100 key FormMain down Right", "100 set FormMain.txtTitle caption \"QorvexBlast LEVEL\""}));
  // Locked entry 5 brings its question mark up, on every tick that finds it covered.
  EXPECT_TRUE(t.inOrder({"600 zorder FormMain.Ques1", "600 set FormMain.txtTitle caption \"??????????? ???????\""}));
  EXPECT_EQ(t.count("zorder FormMain.Ques1"), 1);
}

TEST_F(Menu, TheTextAndTheArrowsBlinkInOppositePhases) {
  auto t = go("1010 quit\n");
  // The first tick shows the text (already shown) and hides the arrows.
  using Times = std::vector<std::int64_t>;
  for (const char* arrow : {"Label2", "Label3"}) {
    EXPECT_EQ(t.times("set FormMain." + std::string(arrow) + " visible 0"), (Times{250, 750})) << arrow;
    EXPECT_EQ(t.times("set FormMain." + std::string(arrow) + " visible 1"), (Times{500, 1000})) << arrow;
  }
  EXPECT_EQ(t.times("set FormMain.txtEvent visible 0"), (Times{500, 1000}));
  EXPECT_EQ(t.times("set FormMain.txtEvent visible 1"), (Times{750}));
  EXPECT_EQ(t.count(" visible "), 11);
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

TEST_F(Menu, AGameSceneWritesTheRecordAtUnloadAndTheNextSceneReadsIt) {
  make(ScoreRecord{0, 0, 0, 0, 0, 0, 12345, 0}).add<WinningGame>();  // registered first: no stand-in
  run->rt().addForm(std::make_unique<PendingGameScene>(
      PendingGame{"FormQBL", "QorvexBlast LEVEL", 4050, 2850, Color::rgb(0, 0, 192), colors::white,
                  &ScoreRecord::clearQBL},
      run->services()));
  std::string s = "100 down Z\n110 up Z\n200 down Z\n210 up Z\n300 down X\n310 up X\n";  // entry 0 wins
  s += presses("Right", 1, 400) + "500 down Z\n510 up Z\n";  // entry 1: a stand-in of FormQBL
  s += "600 down X\n700 up X\n800 close FormMain\n";
  auto t = go(s);
  // clearQBL set, hiScoreQF 12345 kept.
  const std::string won = "0000ffff000000000000000039300000" "00000000";
  EXPECT_TRUE(t.inOrder({"300 unload FormQB", "300 write Qspe.dat " + won, "300 show FormMain",
                         "500 read Qspe.dat " + won, "500 set FormQBL caption \"★QorvexBlast LEVEL\""}));
  // The menu's own copy (no stars) stays; closing it writes nothing over the file.
  EXPECT_EQ(t.count("LabelStar"), 0);
  const int close = t.indexOf("800 unload FormMain");
  ASSERT_GE(close, 0) << t.dump();
  EXPECT_EQ(t.count("write", close), 0);
  EXPECT_EQ(t.lines().back(), "800 end");
  EXPECT_EQ(readBytes(run->file("Qspe.dat")), bytesOf(ScoreRecord{0, kTrue, 0, 0, 0, 0, 12345, 0}.toBytes()));
}

TEST_F(Menu, ZOnAnOpenEntryHandsOverToTheGameAndXThereBringsTheMenuMusicBack) {
  make();
  withSound("choice.wav", 200);
  auto t = go("100 down Z\n110 up Z\n400 down X\n450 up X\n600 quit\n");
  EXPECT_TRUE(t.inOrder({"100 wav choice.wav wait 200", "300 mci \"stop midifile \"", "300 load FormQB",
                         "300 read Qspe.dat ", "300 mci \"open <dir>/title.mid type sequencer alias midifile\"",
                         "300 show FormQB", "300 activate FormQB", "300 mci \"play midifile\"", "300 hide FormMain",
                         // The 10 ms poll due with the X press sees it.
                         "400 wav end.wav wait 0", "400 unload FormQB",
                         "400 write Qspe.dat 0000000000000000000000000000000000000000", "400 mci \"close midifile\"",
                         "400 show FormMain", "400 activate FormMain",
                         "400 mci \"open <dir>/select.mid type sequencer alias midifile\"",
                         "400 mci \"play midifile\""}));
}

TEST_F(Menu, ClosingTheMenuStopsItsMusicWritesNothingAndEnds) {
  make(flags(3));
  auto t = go("500 close FormMain\n");
  const int close = t.indexOf("500 unload FormMain");
  ASSERT_GE(close, 0) << t.dump();
  EXPECT_EQ(std::vector(t.lines().begin() + close, t.lines().end()),
            (std::vector<std::string>{"500 unload FormMain", "500 mci \"stop midifile \"", "500 mci \"stop midifile \"",
                                      "500 mci \"close midifile\"", "500 end"}));
  EXPECT_EQ(readBytes(run->file("Qspe.dat")), bytesOf(flags(3).toBytes()));
}

}  // namespace
}  // namespace qs::test
