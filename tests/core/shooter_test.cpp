#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>

#include "core/shooter_probe.h"
#include "games/shooter/form_qb.h"
#include "qspe/menu.h"
#include "runtime/random.h"
#include "sound/wav_info.h"
#include "support/scene_harness.h"
#include "support/temp_dir.h"

namespace qs::test {
namespace {

namespace fs = std::filesystem;
using P = ShooterProbe;

// FormQB and the menu it returns to, in a program directory of their own
// (optionally with the build's sounds, so that waiting sounds take time).
class Shooter {
 public:
  explicit Shooter(bool sounds = false, std::int64_t until = kNever)
      : dir_(fillDir(tmp_.path(), sounds)), run_(HeadlessRun::Setup{.dir = dir_.string(), .seed = 1, .until = until}) {
    qb_ = &run_.add<FormQB>();
    run_.add<FormMain>();
  }
  ~Shooter() { timers_.clear(); }

  ShooterCore& qb() { return *qb_; }
  HeadlessRun& run() { return run_; }
  std::int64_t wav(const std::string& name) const { return wavLengthMs((dir_ / name).string()); }
  const fs::path& dir() const { return dir_; }

  // Runs `f` at time t, before the scene's timers due then.
  void at(std::int64_t t, std::function<void()> f) {
    auto& timer = timers_.emplace_back();
    timer.attach(run_.rt(), "probe", static_cast<int>(t), true, [&timer, f] {
      timer.detach();
      f();
    });
  }
  void play(const std::string& script) { run_.run("FormQB", script); }

  // Times of the lines "T what".
  std::vector<std::int64_t> times(const std::string& what) const {
    std::vector<std::int64_t> out;
    for (const auto& l : run_.lines()) {
      auto sp = l.find(' ');
      if (l.compare(sp + 1, std::string::npos, what) == 0) out.push_back(std::stoll(l.substr(0, sp)));
    }
    return out;
  }
  // The first such time at or after `from`, or -1.
  std::int64_t first(const std::string& what, std::int64_t from = 0) const {
    for (auto t : times(what))
      if (t >= from) return t;
    return -1;
  }
  std::string dumpOf(const std::string& path) const {
    for (const auto& l : run_.lines())
      if (l.find(" dump " + path + " ") != std::string::npos) return l;
    return "";
  }

 private:
  static fs::path fillDir(const fs::path& d, bool sounds) {
    if (sounds)
      for (const char* n : {"start.wav", "end.wav", "high.wav", "miss.wav", "gameover.wav", "clear.wav"})
        if (fs::exists(fs::path(QSPE_PROGRAM_DIR) / n)) fs::copy_file(fs::path(QSPE_PROGRAM_DIR) / n, d / n);
    return d;
  }

  TempDir tmp_;
  fs::path dir_;
  HeadlessRun run_;
  ShooterCore* qb_ = nullptr;
  std::deque<Timer> timers_;
};

std::string top(int i, int y) { return "set FormQB.Enemy(" + std::to_string(i) + ") top " + std::to_string(y); }
std::string title(const std::string& t) { return "set FormQB.txtTitle caption \"" + t + "\""; }
std::string caption(const std::string& e, const std::string& t) { return "set FormQB." + e + " caption \"" + t + "\""; }

// ---- the scene at load ----

TEST(ShooterScene, LoadsWithItsLayoutAndTheEnemiesWaitingAboveTheField) {
  Shooter s;
  s.play("0 dump\n");
  EXPECT_TRUE(s.run().has("0 set FormQB.Enemy(0) top -32"));
  std::vector<std::string> stack;
  for (const auto& l : s.run().grep(" dump FormQB.")) {
    auto from = l.find("FormQB.") + 7;
    std::string name = l.substr(from, l.find(' ', from) - from);
    if (name.rfind("Time", 0) != 0) stack.push_back(name);
  }
  std::vector<std::string> expected = {"Window",  "Enemy(4)", "Enemy(3)", "Enemy(2)",     "Enemy(1)", "Enemy(0)",
                                       "Beam",    "Myship",   "txtHisc",  "txtHighScore", "txtTitle", "txtEvent",
                                       "txtInfo", "txtScore", "Bgtxt",    "txtRest"};
  EXPECT_EQ(stack, expected);
  for (int i = 1; i < 5; ++i) {
    EXPECT_NE(s.dumpOf("FormQB.Enemy(" + std::to_string(i) + ")")
                  .find("caption=\"R\" visible=0 left=" + std::to_string(32 * i) + " top=-32"),
              std::string::npos);
  }
  EXPECT_NE(s.dumpOf("FormQB").find("caption=\"QorvexBlast\""), std::string::npos);
  EXPECT_NE(s.dumpOf("FormQB.Window").find("width=165 height=265 back=#808080"), std::string::npos);
  EXPECT_NE(s.dumpOf("FormQB.Myship").find("visible=0 left=64 top=224"), std::string::npos);
  EXPECT_NE(s.dumpOf("FormQB.Beam")
                .find("caption=\"! !\" visible=1 left=168 top=232 width=33 height=33 fore=#000000 "
                      "font=\"MS P Gothic\" size=24 bold=1"),
            std::string::npos);
  EXPECT_NE(s.dumpOf("FormQB.Bgtxt").find("fore=#404040 font=\"Wingdings\" size=72 bold=1"), std::string::npos);
  EXPECT_NE(s.dumpOf("FormQB.txtInfo").find("caption=\"Start:Z     Quit:X\""), std::string::npos);
  EXPECT_NE(s.dumpOf("FormQB.TimeEnemy").find("interval=1000 enabled=0"), std::string::npos);
}

TEST(ShooterScene, PromptBlinksAndArrowsDoNothingInTheTitle) {
  Shooter s(false, 1000);
  s.play("100 down Left\n110 up Left\n120 down Right\n");
  EXPECT_TRUE(s.run().grep("FormQB.Myship").empty());
  EXPECT_EQ(s.times("set FormQB.txtEvent visible 0"), (std::vector<std::int64_t>{500, 1000}));
  EXPECT_EQ(s.times("set FormQB.txtEvent visible 1"), (std::vector<std::int64_t>{750}));
}

// ---- a game in play ----

TEST(ShooterPlay, FirstEnemyTickComesOneSecondAfterTheStart) {
  Shooter s(true, 5000);
  s.play("0 down Z\n30 up Z\n");
  const std::int64_t start = 10 + s.wav("start.wav");
  EXPECT_EQ(s.first("wav start.wav wait " + std::to_string(s.wav("start.wav"))), 10);
  EXPECT_EQ(s.first("set FormQB.TimeEnemy enabled 1"), start);
  EXPECT_EQ(s.first(top(0, 0)), start + 1000);
  EXPECT_EQ(s.first(top(0, 32)), start + 2000);
  // The start itself neither fires nor moves an enemy.
  EXPECT_EQ(s.first("set FormQB.Beam left 64"), -1);
  EXPECT_EQ(s.first(caption("Myship", ">")), -1);  // ">" is its design caption
  EXPECT_EQ(s.first("set FormQB.Myship visible 1"), start);
  EXPECT_EQ(s.first(caption("txtInfo", "Beam:Z     High:X")), start);
}

TEST(ShooterPlay, UnopposedGameCrashesOnTheEighthTickAndEndsAfterBothSounds) {
  Shooter s(true, 20000);
  s.play("0 down Z\n30 up Z\n");
  const std::int64_t start = 10 + s.wav("start.wav");
  const std::int64_t miss = s.wav("miss.wav"), over = s.wav("gameover.wav");
  const std::int64_t crash = s.first(title("Crash!!"));
  EXPECT_EQ(crash, start + 8000);
  EXPECT_EQ(s.first(top(2, 224)), crash);
  EXPECT_EQ(s.first(caption("Myship", "N")), crash);
  EXPECT_EQ(s.first(caption("Bgtxt", "R")), crash);
  EXPECT_EQ(s.first("wav miss.wav wait " + std::to_string(miss)), crash);
  EXPECT_EQ(s.first("mci \"pause midifile \""), crash + miss);
  EXPECT_EQ(s.first(title("Game Over")), crash + miss);
  EXPECT_EQ(s.first(caption("Bgtxt", "U")), crash + miss);
  int wait = s.run().indexOf(std::to_string(crash + miss) + " wav gameover.wav wait " + std::to_string(over));
  ASSERT_GE(wait, 0) << s.run().dump();
  ASSERT_LT(wait + 1, static_cast<int>(s.run().lines().size()));
  EXPECT_GE(std::stoll(s.run().lines()[static_cast<std::size_t>(wait) + 1]), crash + miss + over);
  EXPECT_EQ(s.first(title("Mayday!!")), -1);
  // The loop went on after gameOver: the enemies after the one that crashed wait a row lower.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(P::enemy(s.qb(), i).top(), i <= 2 ? -64 : -32) << i;
  EXPECT_EQ(P::playFlag(s.qb()), 0);
}

// Game 1 crashes into lane 2 and leaves enemies 3 and 4 a row ahead. In game 2
// the ship steps beside enemy 3 on its own row between two ticks and is not hit.
const char* kSecondGame =
    "0 down Z\n50 up Z\n"
    "9000 down Z\n9050 up Z\n"
    "17500 down Right\n17550 up Right\n";

TEST(ShooterPlay, AnEnemyIsPastOnlyAt288AndACrashIsTestedOnlyAtTheTick) {
  Shooter s(false, 21000);
  s.play(kSecondGame);
  const std::int64_t start2 = s.first("set FormQB.TimeEnemy enabled 1", 9000);
  ASSERT_EQ(start2, 9000);
  EXPECT_EQ(s.first(top(3, 0), start2), start2 + 1000);
  EXPECT_EQ(s.first(top(0, -32), start2), start2 + 1000);
  EXPECT_EQ(s.first(top(3, 224), start2), start2 + 8000);
  EXPECT_EQ(s.first("set FormQB.Myship left 96"), 17500);
  const std::int64_t at256 = s.first(top(3, 256), start2);
  const std::int64_t at288 = s.first(top(3, 288), start2);
  EXPECT_EQ(at256, start2 + 9000);
  EXPECT_EQ(at288, start2 + 10000);
  EXPECT_EQ(s.first(title("Mayday!!")), at288);
  EXPECT_EQ(s.first(caption("Bgtxt", "L")), at288);
  EXPECT_EQ(s.first(title("Crash!!"), start2), -1);
  EXPECT_EQ(s.first(caption("Myship", "N"), start2), -1);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(P::enemy(s.qb(), i).top(), i <= 3 ? -64 : -32) << i;
}

TEST(ShooterPlay, ABeamStillDestroysAnEnemyThatIsBelowIt) {
  Shooter s(false, 21000);
  s.play(std::string(kSecondGame) + "18505 down Z\n18550 up Z\n");
  EXPECT_EQ(s.first(top(3, 256)), 18000);
  EXPECT_EQ(s.first("set FormQB.Beam left 96"), 18510);
  const std::int64_t hit = s.first("set FormQB.Enemy(3) visible 0");
  EXPECT_EQ(hit, 18600);  // the first beam tick, beam at 192, enemy at 256
  EXPECT_EQ(s.first("set FormQB.Enemy(3) left 256"), hit);
  EXPECT_EQ(s.first(caption("txtScore", "100")), hit);
  // Lane 4 ends the game instead, a tick later.
  EXPECT_EQ(s.first(top(4, 288)), s.first(title("Mayday!!")));
  EXPECT_EQ(s.first(top(3, 288)), -1);
}

TEST(ShooterPlay, HeldZFiresAgainAsSoonAsTheBeamIsGoneAndNeverTwoAtOnce) {
  Shooter s(false, 8000);
  s.play("0 down Z\n50 repeat Z\n");
  std::vector<std::pair<std::int64_t, int>> lefts;
  for (const auto& l : s.run().grep(" set FormQB.Beam left "))
    lefts.emplace_back(std::stoll(l), std::stoi(l.substr(l.rfind(' ') + 1)));
  ASSERT_GE(lefts.size(), 8u) << s.run().dump();
  EXPECT_EQ(lefts[0], std::make_pair(std::int64_t{50}, 64));
  for (std::size_t i = 1; i < lefts.size(); ++i) {
    EXPECT_EQ(lefts[i].second, i % 2 ? 288 : 64) << "beam move " << i;
    if (i % 2 == 0 && lefts[i].first < s.first(title("Mayday!!"))) {
      EXPECT_LE(lefts[i].first - lefts[i - 1].first, 10) << "refire " << i;
    }
  }
  // The first hit also shortens the enemy tick.
  const std::int64_t hit = s.first("set FormQB.Enemy(2) visible 0");
  ASSERT_GT(hit, 0);
  EXPECT_EQ(s.first("wav hit.wav async 0"), hit);
  EXPECT_EQ(s.first("set FormQB.TimeEnemy interval 995"), hit);
}

TEST(ShooterPlay, ShipStepsOnEveryKeyDownWithinTheFiveLanes) {
  Shooter s(false, 400);
  s.play(
      "0 down Z\n20 up Z\n100 down Left\n110 repeat Left\n120 repeat Left\n130 up Left\n"
      "200 down Right\n210 repeat Right\n220 repeat Right\n230 repeat Right\n240 repeat Right\n");
  std::vector<std::string> moves;
  for (const auto& l : s.run().grep("set FormQB.Myship left")) moves.push_back(l.substr(l.rfind(' ') + 1));
  EXPECT_EQ(moves, (std::vector<std::string>{"32", "0", "32", "64", "96", "128"}));
}

// ---- the High blast ----

TEST(ShooterBlast, WhitensTheFieldWhileXIsHeldAndSpendsOneBlastPerKeyDown) {
  Shooter s(false, 700);
  std::uint8_t rowAfterFirst = 0;
  s.at(510, [&] { rowAfterFirst = P::highRow(s.qb()); });
  s.play("0 down Z\n50 up Z\n500 down X\n520 repeat X\n540 repeat X\n560 repeat X\n580 repeat X\n600 up X\n");
  EXPECT_EQ(s.times("wav high.wav wait 0"), (std::vector<std::int64_t>{500, 520, 540}));
  EXPECT_EQ(s.times("set FormQB.Window back #FFFFFF"), (std::vector<std::int64_t>{500}));
  EXPECT_EQ(s.times("set FormQB.Window back #808080"), (std::vector<std::int64_t>{600}));
  EXPECT_EQ(s.first(caption("txtScore", "500")), 500);
  EXPECT_EQ(s.first(caption("txtScore", "1500")), 540);
  EXPECT_EQ(s.first(caption("txtRest", "0")), 540);
  EXPECT_TRUE(s.run().grep("txtRest caption \"-").empty());
  EXPECT_EQ(P::restCount(s.qb()), 0);
  // The first blast of the visit throws enemy 0 to row 0; each later enemy
  // and the next blast's enemy 0 take the row drawn after the one before.
  EXPECT_EQ(s.first(top(0, 0)), 500);
  for (int i = 1; i < 5; ++i) {
    auto l = s.run().grep("500 set FormQB.Enemy(" + std::to_string(i) + ") top ");
    ASSERT_EQ(l.size(), 1u) << i;
    int y = std::stoi(l[0].substr(l[0].rfind(' ') + 1));
    EXPECT_TRUE(y % 32 == 0 && y <= -32 && y >= -192) << y;
  }
  ASSERT_GE(rowAfterFirst, 1);
  EXPECT_EQ(s.first(top(0, -32 * rowAfterFirst), 520), 520);
}

TEST(ShooterBlast, BringsDestroyedEnemiesBackAboveTheField) {
  Shooter s(false, 3000);
  s.play("0 down Z\n50 repeat Z\n1600 up Z\n2000 down X\n2010 up X\n");
  const std::int64_t hit = s.first("set FormQB.Enemy(2) visible 0");
  ASSERT_GT(hit, 0);
  ASSERT_LT(hit, 2000);
  EXPECT_EQ(s.first("set FormQB.Enemy(2) visible 1", hit), 2000);
  EXPECT_EQ(s.first("set FormQB.Enemy(2) left 64", hit), 2000);
}

// ---- speed-up ----

TEST(ShooterSpeed, EachHitShortensTheEnemyTickBy5msAndNeverBelow250) {
  Shooter s(false, 4000);
  s.at(60, [&] { P::enemyTimer(s.qb()).setInterval(255); });
  auto stage = [&] {  // an enemy in the ship's lane for the held beam
    P::enemy(s.qb(), 2).move(64, 0);
    P::enemy(s.qb(), 2).setVisible(true);
  };
  s.at(1000, stage);
  s.at(1600, stage);
  s.play("0 down Z\n50 repeat Z\n");
  EXPECT_GE(s.times("wav hit.wav async 0").size(), 3u) << s.run().dump();
  std::vector<std::string> intervals;
  for (const auto& l : s.run().grep("set FormQB.TimeEnemy interval")) intervals.push_back(l.substr(l.rfind(' ') + 1));
  ASSERT_GE(intervals.size(), 2u);
  EXPECT_EQ(intervals[0], "255");
  EXPECT_EQ(intervals[1], "250");
  // Only gameOver sets it again, back to 1000.
  for (std::size_t i = 2; i < intervals.size(); ++i) EXPECT_EQ(intervals[i], "1000");
}

// ---- clear ----

TEST(ShooterClear, TwentyThousandWithNoBlastSpentIsPerfectAndStoredAtUnload) {
  Shooter s(false, 4000);
  s.at(100, [&] { P::score(s.qb()) = 19900; });
  s.play("0 down Z\n50 repeat Z\n1600 up Z\n3000 down X\n3050 up X\n");
  const std::int64_t reached = s.first(caption("txtScore", "20000"));
  ASSERT_GT(reached, 0) << s.run().dump();
  const std::int64_t clear = s.first(title("Perfect!!!"));
  EXPECT_GT(clear, reached);  // the clear waits for the enemy tick
  EXPECT_EQ(s.first(top(0, 32)), clear);
  EXPECT_EQ(s.first("mci \"pause midifile \""), clear);
  EXPECT_EQ(s.first(caption("txtScore", "30000")), clear);
  EXPECT_EQ(s.first(caption("txtHisc", "30000")), clear);
  EXPECT_EQ(s.first(caption("Myship", "J")), clear);
  EXPECT_EQ(s.first(caption("Bgtxt", "P")), clear);
  EXPECT_EQ(s.first("wav clear.wav wait 0"), clear);
  EXPECT_EQ(s.first(title("Cleared!!")), -1);
  auto writes = s.run().grep(" write Qspe.dat ");
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_EQ(std::stoll(writes[0]), 3000);
  EXPECT_NE(writes[0].find("write Qspe.dat ffff0000"), std::string::npos) << writes[0];
  EXPECT_EQ(fs::file_size(s.dir() / "Qspe.dat"), 20u);
}

TEST(ShooterClear, ScorePast20000BetweenTicksIsAnOrdinaryClear) {
  Shooter s(false, 4000);
  s.at(1100, [&] { P::score(s.qb()) = 20000; });  // after the first tick
  s.play("0 down Z\n50 repeat Z\n1600 up Z\n3500 down X\n");
  EXPECT_GT(s.first(caption("txtScore", "20100")), 1100);
  EXPECT_GT(s.first(title("Cleared!!")), s.first(caption("txtScore", "20100")));
  EXPECT_EQ(s.first(caption("txtScore", "30100")), s.first(title("Cleared!!")));
  EXPECT_EQ(s.first(title("Perfect!!!")), -1);
  EXPECT_EQ(s.first(caption("Myship", "J")), -1);
  auto writes = s.run().grep(" write Qspe.dat ");
  ASSERT_EQ(writes.size(), 1u);
  EXPECT_NE(writes[0].find("write Qspe.dat 0000"), std::string::npos) << writes[0];
}

TEST(ShooterClear, SpentBlastsCostTheirBonus) {
  Shooter s(false, 9000);
  s.at(1100, [&] { P::score(s.qb()) = 19400; });
  s.play("0 down Z\n50 repeat Z\n1200 down X\n1210 up X\n");
  EXPECT_EQ(s.first(caption("txtScore", "19900")), 1200);
  const std::int64_t clear = s.first(title("Cleared!!"));
  ASSERT_GT(clear, 0) << s.run().dump();
  EXPECT_EQ(s.first(caption("txtScore", "27000")), clear);  // 20000 + 2 x 3000 + 1000
}

TEST(ShooterClear, ALostGameStillClearsInTheSameTick) {
  Shooter s(false, 10000);
  s.at(7500, [&] { P::score(s.qb()) = 20000; });
  s.play("0 down Z\n30 up Z\n");
  const std::int64_t crash = s.first(title("Crash!!"));
  ASSERT_EQ(crash, 8010);
  const int over = s.run().indexOf("8010 " + title("Game Over"));
  const int clear = s.run().indexOf("8010 " + title("Perfect!!!"));
  EXPECT_GT(over, 0);
  EXPECT_GT(clear, over);
}

TEST(ShooterClear, APerfectGameGivesTheNextGameTheSmilingShipUntilTheSceneIsLeft) {
  Shooter s(false, 16000);
  s.at(100, [&] { P::score(s.qb()) = 19900; });
  s.at(12600, [&] { s.run().rt().show(s.run().rt().form("FormQB")); });
  s.play(
      "0 down Z\n50 repeat Z\n1600 up Z\n"
      "3000 down Z\n3050 up Z\n3100 dump\n"  // game 2, lost at 12000
      "12300 down X\n12350 up X\n"           // leave; shown again at 12600
      "13000 down Z\n13050 up Z\n13100 dump\n");
  ASSERT_GT(s.first(title("Perfect!!!")), 0);
  auto dumps = s.run().grep(" dump FormQB.Myship ");
  ASSERT_EQ(dumps.size(), 2u);
  EXPECT_NE(dumps[0].find("caption=\"J\""), std::string::npos) << dumps[0];
  EXPECT_NE(dumps[1].find("caption=\">\""), std::string::npos) << dumps[1];
  auto hisc = s.run().grep(" dump FormQB.txtHisc ");
  ASSERT_EQ(hisc.size(), 2u);
  EXPECT_NE(hisc[0].find("caption=\"30000\""), std::string::npos);
  EXPECT_NE(hisc[1].find("caption=\"10000\""), std::string::npos);
  EXPECT_TRUE(s.run().has("12600 set FormQB caption \"★QorvexBlast\""));
  EXPECT_EQ(P::hiScore(s.qb()), 10000);
}

// ---- title keys, music and the beam left across games ----

TEST(ShooterTitle, ZAndXHeldTogetherStartAGameAndLeaveInTheSamePoll) {
  Shooter s(true, 1000);
  s.play("0 down Z\n0 down X\n");
  const std::int64_t st = s.wav("start.wav");
  const auto& r = s.run();
  int start = r.indexOf("10 wav start.wav wait " + std::to_string(st));
  int begun = r.indexOf(std::to_string(10 + st) + " set FormQB.TimeEnemy enabled 1");
  int end = r.indexOf(std::to_string(10 + st) + " wav end.wav wait " + std::to_string(s.wav("end.wav")));
  int gone = r.indexOf(std::to_string(10 + st + s.wav("end.wav")) + " unload FormQB");
  ASSERT_GE(start, 0) << r.dump();
  EXPECT_GT(begun, start);
  EXPECT_GT(end, begun);
  EXPECT_GT(gone, end);
  EXPECT_EQ(s.first("set FormQB.Beam left 64"), -1);
}

TEST(ShooterTitle, MusicFollowsTheTitleThePlayAndTheEnd) {
  Shooter s(false, 12000);
  s.play("0 down Z\n30 up Z\n10000 down X\n");
  std::vector<std::string> order = {"load FormQB",
                                    "mci \"open <dir>/title.mid type sequencer alias midifile\"",
                                    "activate FormQB",
                                    "mci \"play midifile\"",
                                    "wav start.wav wait 0",
                                    "mci \"open <dir>/bgm.mid type sequencer alias midifile\"",
                                    "mci \"seek midifile to 1\"",
                                    "mci \"play midifile\"",
                                    "wav miss.wav wait 0",
                                    "mci \"pause midifile \"",
                                    "wav gameover.wav wait 0",
                                    "wav end.wav wait 0",
                                    "unload FormQB",
                                    "write Qspe.dat 0000000000000000000000000000000000000000",
                                    "mci \"stop midifile \"",
                                    "show FormMain"};
  int at = 0;
  for (const auto& what : order) {
    int found = -1;
    for (int i = at; i < static_cast<int>(s.run().lines().size()) && found < 0; ++i) {
      const auto& l = s.run().lines()[static_cast<std::size_t>(i)];
      if (l.compare(l.find(' ') + 1, std::string::npos, what) == 0) found = i;
    }
    ASSERT_GE(found, 0) << "missing in order: " << what << "\n" << s.run().dump();
    at = found + 1;
  }
}

TEST(ShooterTitle, ABeamParkedInFlightClimbsOutBeforeTheNextGamesFirstShot) {
  const char* held = "0 down Z\n50 repeat Z\n";  // held through the end: the next game starts at once
  std::int64_t end = -1;
  {
    Shooter probe(false, 20000);
    probe.play(held);
    end = probe.first(title("Game Over"));
  }
  ASSERT_GT(end, 0);
  Shooter s(false, end + 1000);
  s.play(std::string(held) + std::to_string(end + 20) + " repeat Z\n");
  ASSERT_EQ(s.first(title("Game Over")), end);
  EXPECT_EQ(s.first("set FormQB.Beam left 288", end), end);  // parked by gameOver, still "in flight"
  const std::int64_t start2 = s.first("set FormQB.TimeEnemy enabled 1", end);
  ASSERT_EQ(start2, end + 10);
  EXPECT_EQ(s.first("set FormQB.Beam top 0", start2), start2 + 100);
  EXPECT_EQ(s.first("set FormQB.Beam top -32", start2), start2 + 200);
  EXPECT_EQ(s.first("set FormQB.Beam top 32", start2), start2 + 200);
  EXPECT_EQ(s.first("set FormQB.Beam left 64", start2), start2 + 210);
}

// ---- random draws ----

TEST(ShooterRandom, EnemyPicksAreTheRuntimesDrawsReseededAtTheStart) {
  Shooter s(false, 9000);
  std::vector<int> picks;
  for (int k = 1; k <= 7; ++k) s.at(10 + 1000 * k + 1, [&] { picks.push_back(P::enemyPick(s.qb())); });
  s.play("0 down Z\n30 up Z\n");
  Random r(clockSeed(1, 10));
  std::vector<int> expected;
  for (int k = 0; k < 7; ++k) expected.push_back(roundHalfEven(r.draw() * 4));
  EXPECT_EQ(picks, expected);
}

TEST(ShooterRandom, RoundingHalfToEvenMakesTheEndValuesHalfAsLikely) {
  for (std::uint64_t seed : {1u, 424242u}) {
    Random r(seed);
    std::map<int, int> lanes, rows;
    const int n = 100000;
    for (int i = 0; i < n; ++i) {
      ++lanes[roundHalfEven(r.draw() * 4)];
      ++rows[roundHalfEven(r.draw() * 5 + 1)];
    }
    EXPECT_EQ(lanes.size(), 5u);
    for (int v = 0; v <= 4; ++v) {
      double share = lanes[v] / double(n), want = (v == 0 || v == 4) ? 0.125 : 0.25;
      EXPECT_NEAR(share, want, 0.01) << "lane " << v;
    }
    EXPECT_EQ(rows.begin()->first, 1);
    EXPECT_EQ(rows.rbegin()->first, 6);
    EXPECT_NEAR(rows[1] / double(n), 0.1, 0.01);
    EXPECT_NEAR(rows[3] / double(n), 0.2, 0.01);
  }
}

}  // namespace
}  // namespace qs::test
