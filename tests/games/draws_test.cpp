// Known answers for every random draw of the games. A reseed at time t of a
// run with seed s restarts the generator at clockSeed(s, t); each rule turns
// the draws that follow into what the scene shows. Without media the sounds
// last 0 ms, so a Z held at 0 starts a game, and reseeds it, at 10.
#include <gtest/gtest.h>

#include "app/qspe_program.h"
#include "probes.h"
#include "runtime/random.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

constexpr const char* kStart = "0 down Z\n15 up Z\n";

struct Game {
  Game() { run.load(makeQspe(run.rt(), run.audio())); }
  Form& form(const char* name) { return run.rt().form(name); }
  // At `t`, reseeds the run and gives the mirror generator the same start.
  void reseedAt(std::int64_t t, const std::function<void(Random&)>& check) {
    run.at(t, [this, t, check] {
      run.rt().randomize();
      Random mirror(clockSeed(1, t));
      check(mirror);
    });
  }
  HeadlessRun run;
};

// ---- the shooters: the enemy tick's pick and the High blast's rows ----

struct Shooter {
  const char* form;
  int picks;               // the pick is a rounded draw of this
  const char* thrownAxis;  // "top" or "left"
  int edge, way;           // a blast throws enemy i to edge + way * 32 * highRow
};

class ShooterDraws : public ::testing::TestWithParam<Shooter> {};

// With nothing hit the enemy tick comes every second from 1010.
TEST_P(ShooterDraws, EnemyPicksAreRoundedDraws) {
  const Shooter& s = GetParam();
  Game g;
  std::vector<int> picks, expected;
  for (int k = 0; k < 7; ++k)
    g.run.at(1011 + 1000 * k, [&] {
      picks.push_back(s.picks == 6 ? ForeverProbe::pick(g.form(s.form)) : ShooterProbe::pick(g.form(s.form)));
    });
  g.run.run(s.form, std::string(kStart) + "7100 quit\n");
  Random r(clockSeed(1, 10));
  for (int k = 0; k < 7; ++k) expected.push_back(roundHalfEven(r.draw() * s.picks));
  EXPECT_EQ(picks, expected);
}

// Enemy 0 takes the row left by the last blast (0 after the load); enemy i
// the i-th draw rounded of 5 plus 1.
class ShooterBlasts : public ShooterDraws {};  // Forever has no blast

TEST_P(ShooterBlasts, TheBlastThrowsEachEnemyByTheDrawBefore) {
  const Shooter& s = GetParam();
  Game g;
  auto t = g.run.run(s.form, std::string(kStart) + "500 down X\n510 up X\n520 dump\n600 quit\n");
  Random r(clockSeed(1, 10));
  int row = 0;
  for (int i = 0; i < 5; ++i) {
    const std::string dump = t.dumpOf(std::string(s.form) + ".Enemy(" + std::to_string(i) + ")");
    const std::string at = " " + std::string(s.thrownAxis) + "=" + std::to_string(s.edge + s.way * 32 * row) + " ";
    EXPECT_NE(dump.find(at), std::string::npos) << at << " in " << dump;
    row = roundHalfEven(r.draw() * 5 + 1);
  }
}

// clang-format off
const Shooter kShooters[] = {{"FormQB", 4, "top", 0, -1}, {"FormQBL", 4, "left", 264, 1}, {"FormQBF", 4, "left", 0, -1},
                             {"FormQRB", 4, "top", 264, 1}, {"FormQF", 6, "top", 0, 0}};
// clang-format on
const auto kShooterName = [](const auto& info) { return std::string(info.param.form); };
INSTANTIATE_TEST_SUITE_P(Games, ShooterDraws, ::testing::ValuesIn(kShooters), kShooterName);
INSTANTIATE_TEST_SUITE_P(Games, ShooterBlasts, ::testing::ValuesIn(kShooters, kShooters + 4), kShooterName);

// ---- Strike: the enemy's cell is a truncated draw of 9 ----

// The enemy tick shows one cell each second from 1010; the cursor goes to
// the first cell and strikes it at 1100: 100 points, and the next enemy comes
// 995 ms after the hit. Z pressed again while no enemy is shown stays armed
// and is judged at the first poll after the next one shows: +100 on the same
// cell, else -10.
TEST(StrikeDraws, EachTickShowsTheCellOfATruncatedDraw) {
  Random r(clockSeed(1, 10));
  std::vector<int> cells;
  for (int k = 0; k < 5; ++k) cells.push_back(dropFraction(9 * r.draw()));
  std::string moves;
  const int row = cells[0] / 3, col = cells[0] % 3;
  if (row != 1) moves += press(1020, row == 0 ? "Up" : "Down");
  if (col != 1) moves += press(1040, col == 0 ? "Left" : "Right");
  Game g;
  auto t =
      g.run.run("FormQS", std::string(kStart) + moves + press(1100, "Z", 3) + "1105 down Z\n2150 up Z\n5200 quit\n");
  auto shown = [](int cell) { return " set FormQS.Enemy(" + std::to_string(cell) + ") visible 1"; };
  std::vector<std::string> lines = {"1010" + shown(cells[0]), "1100 wav hit.wav async 0",
                                    "1100 set FormQS.TimeGame interval 995", "1100 set FormQS.Label1 caption \"100\""};
  lines.push_back("2095" + shown(cells[1]));
  lines.push_back(cells[1] == cells[0] ? "2100 set FormQS.Label1 caption \"200\""
                                       : "2100 set FormQS.Label1 caption \"90\"");
  for (int k = 2; k < 5; ++k) lines.push_back(std::to_string(1100 + 995 * k) + shown(cells[k]));
  EXPECT_TRUE(t.inOrder(lines));
}

// ---- Samurai: thunder and the floors' refills ----

// Thunder: 100 x draw rounded; 28 or 57 sound "thndr1.wav", 73 or 99 "thndr2.wav".
TEST(SamuraiDraws, ThunderAndRefillsFollowTheirDraws) {
  Game g;
  int thunder[2] = {0, 0}, notes = 0;
  const char* const cells[5] = {"■", "←", "←", "☆", ""};
  const int tables[3][5] = {{7, 16, 28, 13, 21}, {3, 9, 25, 11, 19}, {1, 6, 29, 12, 17}};  // block, arrows, star, hole
  g.reseedAt(50, [&](Random& m) {
    for (int n = 0; n < 500; ++n) {
      const int d = roundHalfEven(100 * m.draw());
      thunder[0] += d == 28 || d == 57;
      thunder[1] += d == 73 || d == 99;
      SamuraiProbe::rain(g.form("FormSam"));
    }
  });
  g.reseedAt(60, [&](Random& m) {
    for (int n = 0; n < 300; ++n)
      for (int k = 0; k < 3; ++k) {
        const int d = roundHalfEven(30 * m.draw());
        std::string want = "___";
        for (int c = 0; c < 5; ++c)
          if (d == tables[k][c]) want = cells[c];
        if (k == 1 && roundHalfEven(100 * m.draw()) == 49) want = "♪", ++notes;
        ASSERT_EQ(SamuraiProbe::refill(g.form("FormSam"), k), want) << "floor " << k << " refill " << n;
      }
  });
  auto t = g.run.run("FormSam", "70 quit\n");
  EXPECT_EQ(t.count("50 wav thndr1.wav async"), thunder[0]);
  EXPECT_EQ(t.count("50 wav thndr2.wav async"), thunder[1]);
  EXPECT_GT(thunder[0] * thunder[1] * notes, 0);  // every case came
}

// ---- Forever: the enemies' glyphs, the power item and the boss's skull ----

TEST(ForeverDraws, GlyphsPowerAndSkullFollowTheirDraws) {
  const char* const styles[] = {"A", "B", "@", "H", "I", "C"};
  Game g;
  int drops = 0, shots = 0;
  g.reseedAt(50, [&](Random& m) {
    for (int n = 0; n < 200; ++n) {
      const bool drop = dropFraction(m.draw() * 10) == 5;
      const int want = drop ? dropFraction(m.draw() * 6) : -1;
      drops += drop;
      ASSERT_EQ(ForeverProbe::dropAt(g.form("FormQF")), want) << n;
    }
  });
  g.reseedAt(60, [&](Random& m) {
    for (int n = 0; n < 50; ++n) {
      const int want = roundHalfEven(m.draw() * 5);
      shots += want == 0;
      ASSERT_EQ(ForeverProbe::bossShot(g.form("FormQF")), want) << n;
    }
  });
  auto t = g.run.run("FormQF", "0 dump\n70 quit\n");
  // The load reseeds at 0 and gives enemies 1 to 7 a rounded draw of 5 each.
  Random r(clockSeed(1, 0));
  for (int i = 1; i <= 7; ++i) {
    const std::string dump = t.dumpOf("FormQF.Enemy(" + std::to_string(i) + ")");
    EXPECT_NE(dump.find(std::string("caption=\"") + styles[roundHalfEven(r.draw() * 5)] + "\""), std::string::npos)
        << dump;
  }
  EXPECT_GT(drops * shots, 0);
}

}  // namespace
}  // namespace qs::test
