#include <gtest/gtest.h>

#include "strike_player.h"

namespace qs::test::strike {
namespace {

using Values = std::vector<std::string>;

// ---- loading and the title ----

TEST_F(Strike, LoadBuildsTheGridAboveTheDesign) {
  auto t = play("0 dump\n");
  // The enemies made at load sit one cell apart from Enemy(0), hidden, and
  // each was brought to the front: Enemy(8) tops the panel.
  EXPECT_EQ(t.dumpOrder("FormQS"),
            (Values{"Window", "Enemy(8)", "Enemy(7)", "Enemy(6)", "Enemy(5)", "Enemy(4)", "Enemy(3)", "Enemy(2)",
                    "Enemy(1)", "Enemy(0)", "Label1", "txtEvent", "txtHisc", "Myship", "Label2", "txtHi", "txtTitle",
                    "txtBG", "txtInfo"}));
  for (int i = 1; i <= 8; ++i) {
    const std::string e = "FormQS.Enemy(" + std::to_string(i) + ")";
    EXPECT_EQ(t.dumpOf(e).find(e + " caption=\"I\" visible=0 left=" + std::to_string(65 * (i % 3)) +
                               " top=" + std::to_string(8 + 65 * (i / 3)) + " width=65 height=65"),
              0u)
        << t.dumpOf(e);
  }
  // A 192-pixel client area in the fixed frame; the 193-pixel panel overhangs it by one.
  EXPECT_EQ(run->rt().form("FormQS").clientWidth(), 192);
  EXPECT_EQ(t.dumpOf("FormQS.txtHisc").find("FormQS.txtHisc caption=\"3000\""), 0u) << "the best to beat";
}

// X held through a game does nothing until the game is over; then the poll
// leaves at once. The music follows: title tune, game tune, pause, stop.
TEST_F(Strike, XHeldInPlayLeavesWhenTheGameEnds) {
  auto t = play(std::string(kStartScript) + "200 down X\n70000 quit\n");
  // The end comes on the enemy tick at 61010, after that ms's poll: the next poll leaves.
  EXPECT_TRUE(t.inOrder({"0 mci \"open <dir>/title.mid type sequencer alias midifile\"", "0 activate FormQS",
                         "0 mci \"play midifile\"", "10 wav start.wav wait 0", "10 " + caption("Label2", "60"),
                         "10 mci \"open <dir>/bgm.mid type sequencer alias midifile\"",
                         "10 mci \"seek midifile to 1\"", "10 mci \"play midifile\"", "200 key FormQS down X",
                         "61010 mci \"pause midifile \"", "61010 wav gameover.wav wait 0",
                         "61010 " + caption("txtInfo", "Start:Z      Quit:X"), "61020 wav end.wav wait 0",
                         "61020 unload FormQS", "61020 write Qspe.dat 0000000000000000000000000000000000000000",
                         "61020 mci \"stop midifile \"", "61020 mci \"close midifile\"", "61020 show FormMain"}));
  EXPECT_EQ(t.count("unload FormQS"), 1);
}

// Z and X held together on the title: the poll starts the game and, under
// the same test, leaves at once.
TEST_F(Strike, ZAndXHeldTogetherStartAndLeaveOnTheSamePoll) {
  auto t = play("0 down X\n0 down Z\n50 up Z\n");
  EXPECT_EQ(started(t), 10) << t.dump();
  EXPECT_TRUE(t.inOrder({"10 wav start.wav wait 0", "10 wav end.wav wait 0", "10 unload FormQS"}));
}

// ---- the cursor ----

TEST_F(Strike, TheCursorStepsOneCellAndStopsAtEveryEdgeOnlyInPlay) {
  // A walk round the grid from the centre, pushing against every edge; the
  // cell each key should leave the cursor on.
  const std::vector<std::pair<const char*, int>> walk = {
      {"Up", 1},    {"Up", 1},    {"Left", 0},  {"Left", 0},  {"Down", 3}, {"Left", 3},  {"Down", 6},
      {"Down", 6},  {"Left", 6},  {"Right", 7}, {"Down", 7},  {"Right", 8}, {"Right", 8}, {"Down", 8},
      {"Up", 5},    {"Right", 5}, {"Up", 2},    {"Right", 2}, {"Up", 2},   {"Left", 1},  {"Up", 1}};
  std::string s = kStartScript;
  for (std::size_t i = 0; i < walk.size(); ++i) {
    s += press(100 + 10 * static_cast<std::int64_t>(i), walk[i].first, 0);
  }
  auto t = play(s);
  // Replay the trace: the cursor over cell k is at (65 * column - 1, 65 * row + 7).
  auto lefts = t.values("FormQS.Myship", "left"), tops = t.values("FormQS.Myship", "top");
  int left = 64, top = 72;
  for (std::size_t i = 0; i < walk.size(); ++i) {
    const std::int64_t at = 100 + 10 * static_cast<std::int64_t>(i);
    for (auto& v : lefts) left = v.at == at ? std::stoi(v.value) : left;
    for (auto& v : tops) top = v.at == at ? std::stoi(v.value) : top;
    EXPECT_EQ(left, 65 * (walk[i].second % 3) - 1) << walk[i].first << " at " << at;
    EXPECT_EQ(top, 65 * (walk[i].second / 3) + 7) << walk[i].first << " at " << at;
  }
  // Out of play the same keys move nothing.
  t = play("100 down Left\n100 up Left\n110 down Up\n110 up Up\n120 repeat Right\n130 down Down\n");
  EXPECT_EQ(t.count("FormQS.Myship"), 0);
}

// ---- judging a strike ----

TEST_F(Strike, AHitOnTheEnemysCellScoresAndRestartsTheEnemyTick5msFaster) {
  Player p;
  Shown first = p.hitNext(5);
  ASSERT_GE(first.cell, 0);
  auto t = play(p.script(), p.last() + 3000);
  const std::int64_t hit = t.first(caption("Label1", "100"));
  ASSERT_GT(hit, first.at) << t.dump();
  EXPECT_LE(hit, first.at + 15);
  const std::string at = std::to_string(hit) + " ";
  EXPECT_TRUE(t.inOrder({at + set("Enemy(" + std::to_string(first.cell) + ")", "visible", "0"),
                         at + "wav hit.wav async 0", at + set("TimeGame", "interval", "995"),
                         at + caption("txtInfo", "Shoot:Z   HAND:59")}));
  EXPECT_EQ(enemyAfter(t, hit).at, hit + 995) << "the enemy tick counts again from the hit";
  EXPECT_EQ(t.count("miss.wav"), 0);
}

// A strike on a wrong cell costs 10, for every key-down of Z (the keyboard's
// repeats too) while an enemy is shown; the score may go below 0, and the
// enemy and the pace stay.
TEST_F(Strike, StrikesElsewhereCostTenEachAndTheScoreGoesNegative) {
  Player p;
  Shown first = p.next();
  ASSERT_GE(first.cell, 0);
  const int wrong = first.cell == 8 ? 0 : 8;
  const std::int64_t t0 = first.at + 5;
  std::string s = p.script() + moves(4, wrong, 300) + std::to_string(t0) + " down Z\n";
  for (int i = 1; i <= 4; ++i) s += std::to_string(t0 + 33 * i) + " repeat Z\n";
  s += std::to_string(t0 + 200) + " up Z\n";
  auto t = play(s, t0 + 300);
  EXPECT_EQ(t.valuesOnly("FormQS.Label1", "caption"), (Values{inQuotes("0"), inQuotes("-10"), inQuotes("-20"),
                                                              inQuotes("-30"), inQuotes("-40"), inQuotes("-50")}))
      << t.dump();
  EXPECT_EQ(t.count("wav miss.wav async"), 5);
  EXPECT_EQ(t.count("Enemy(" + std::to_string(first.cell) + ") visible 0"), 0);
  EXPECT_EQ(t.count("TimeGame interval"), 0);
  EXPECT_EQ(t.count("HAND:59"), 0);
}

// Z pressed while no enemy is shown stays armed until the next enemy shows:
// a hit over its cell, a miss elsewhere; let go before, nothing is judged.
TEST_F(Strike, AStrikeArmedWithNoEnemyShownIsJudgedAgainstTheNextOne) {
  Shown first = Player().next();
  ASSERT_GE(first.cell, 0);
  ASSERT_GT(first.at, 500);
  struct Case {
    int cell;
    const char* release;
    const char* score;  // Label1 after the enemy shows; none when nothing is judged
  };
  const Case cases[] = {{first.cell, "", "100"}, {first.cell == 4 ? 3 : 4, "", "-10"}, {first.cell, "500 up Z\n", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.score);
    auto t = play(std::string(kStartScript) + moves(4, c.cell, 300) + "400 down Z\n" + c.release, first.at + 100);
    auto scores = t.values("FormQS.Label1", "caption");
    ASSERT_EQ(scores.size(), *c.score ? 2u : 1u) << t.dump();
    if (!*c.score) continue;
    EXPECT_EQ(scores[1].value, inQuotes(c.score));
    EXPECT_GT(scores[1].at, first.at);
    EXPECT_LE(scores[1].at, first.at + 10);
  }
}

TEST_F(Strike, AStrikeAfterAHitWaitsForTheNextEnemy) {
  Player p;
  Shown first = p.hitNext(5);
  Shown second = p.next();
  const std::int64_t again = first.at + 100;  // over the first enemy's cell, no enemy shown
  ASSERT_GT(second.at, again);
  p.add(std::to_string(again) + " down Z");
  auto t = play(p.script(), second.at + 50);
  auto scores = t.values("FormQS.Label1", "caption");
  ASSERT_EQ(scores.size(), 3u) << t.dump();
  EXPECT_EQ(scores[2].value, inQuotes(second.cell == first.cell ? "200" : "90"));
  EXPECT_GE(scores[2].at, second.at);
  EXPECT_LE(scores[2].at, second.at + 10);
}

// ---- the clock ----

TEST_F(Strike, TheClockCountsDownTo0ThenTimeIsUpOnTheNextEnemyTick) {
  auto t = play(kStartScript, 70000);
  const std::int64_t t0 = started(t);
  ASSERT_GT(t0, 0) << t.dump();
  auto clock = t.values("FormQS.Label2", "caption");
  ASSERT_EQ(clock.size(), 61u) << t.dump();
  for (int k = 0; k <= 60; ++k)
    EXPECT_EQ(clock[static_cast<std::size_t>(k)], (TraceView::Value{t0 + 1000 * k, inQuotes(std::to_string(60 - k))}));
  const std::int64_t up = t.first(caption("txtTitle", "Time is Up!!"));
  EXPECT_EQ(up, t0 + 61000);
  const std::string at = std::to_string(up) + " ";
  EXPECT_TRUE(t.inOrder({at + "mci \"pause midifile \"", at + caption("txtTitle", "Time is Up!!"),
                         at + caption("txtBG", "U"), at + caption("Myship", "N"), at + "wav gameover.wav wait 0",
                         at + set("TimeGame", "enabled", "0"), at + set("TimeRest", "enabled", "0"),
                         at + caption("txtInfo", "Start:Z      Quit:X")}));
  // Nothing beat the best, which stays 3000; the cursor stays on screen, no
  // enemy does, and the prompt blinks again.
  EXPECT_EQ(t.count("txtHisc caption"), 0);
  EXPECT_EQ(t.count("Myship visible 0"), 0);
  for (int i = 0; i < FormQS::kCells; ++i) {
    auto shown = t.valuesOnly("FormQS.Enemy(" + std::to_string(i) + ")", "visible");
    if (!shown.empty()) {
      EXPECT_EQ(shown.back(), "0") << i;
    }
  }
  const auto blinks = t.values("FormQS.txtEvent", "visible");
  ASSERT_FALSE(blinks.empty()) << "the prompt blinks on the title";
  EXPECT_GT(blinks.back().at, up);
}

TEST_F(Strike, WithTheEnemyTickShortenedTimeIsUpAtItsFirstTickAfter0) {
  Player p;
  p.hitNext(5);
  auto t = play(p.script(), 80000);
  const std::int64_t hit = t.first(caption("Label1", "100")), zero = t.first(caption("Label2", "0")),
                     up = t.first(caption("txtTitle", "Time is Up!!"));
  ASSERT_GT(hit, 0) << t.dump();
  ASSERT_GT(zero, 0);
  EXPECT_EQ((up - hit) % 995, 0);
  EXPECT_GT(up, zero);
  EXPECT_LE(up - 995, zero);
  EXPECT_EQ(t.count("Label2 caption \"-1\""), 0);
}

}  // namespace
}  // namespace qs::test::strike
