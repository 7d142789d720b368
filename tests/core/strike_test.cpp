#include <gtest/gtest.h>

#include <map>

#include "strike_support.h"

namespace qs::test {
namespace {

using namespace strike;

struct Game {
  TempDir dir;
  HeadlessRun run;
  explicit Game(std::int64_t until = kNever, std::uint64_t seed = 1)
      : run({.dir = dir.path(), .seed = seed, .until = until}) {
    run.add<FormQS>();
    run.add<MenuStub>();
  }
  const std::vector<std::string>& play(const std::string& script) { return run.run("FormQS", script); }
};

// Time at which the first game of a run started.
std::int64_t started(const std::vector<std::string>& lines) { return timeOf(lines, "set FormQS.TimeRest enabled 1"); }

// ---- loading and the title ----

TEST(StrikeTitle, LoadBuildsTheGridAboveTheDesignAndShowsTheTitle) {
  Game g;
  g.play("0 dump\n");
  const auto& ls = g.run.lines();
  // The enemies made at load sit one cell apart from Enemy(0), hidden, and
  // each was brought to the front: Enemy(8) tops the panel.
  std::vector<std::string> order;
  for (const auto& l : ls)
    if (l.rfind("0 dump FormQS.", 0) == 0) order.push_back(l.substr(14, l.find(' ', 14) - 14));
  ASSERT_GE(order.size(), 20u) << g.run.dump();
  EXPECT_EQ(order[0], "Window");
  for (int i = 1; i <= 8; ++i) {
    EXPECT_EQ(order[static_cast<std::size_t>(i)], "Enemy(" + std::to_string(9 - i) + ")");
    int left = 65 * (i % 3), top = 8 + 65 * (i / 3);
    std::string prefix = "0 dump FormQS.Enemy(" + std::to_string(i) + ") caption=\"I\" visible=0 left=" +
                         std::to_string(left) + " top=" + std::to_string(top) + " width=65 height=65";
    EXPECT_EQ(g.run.grep(prefix).size(), 1u) << prefix;
  }
  EXPECT_EQ((std::vector<std::string>(order.begin() + 9, order.begin() + 20)),
            (std::vector<std::string>{"Enemy(0)", "Label1", "txtEvent", "txtHisc", "Myship", "Label2", "txtHi",
                                      "txtTitle", "txtBG", "txtInfo", "TimePushX"}));
  // A 192-pixel client area in the fixed frame; the 193-pixel panel overhangs it by one.
  EXPECT_EQ(g.run.grep("0 dump FormQS caption=\"QorvexStrike!\" visible=1 width=2970 height=3510").size(), 1u);
  EXPECT_EQ(g.run.rt().form("FormQS").clientWidth(), 192);
  EXPECT_EQ(g.run.grep("0 dump FormQS.Window visible=1 left=0 top=0 width=193 height=209").size(), 1u) << g.run.dump();
  EXPECT_EQ(g.run.grep("dump FormQS.Myship caption=\">\" visible=0 left=64 top=72").size(), 1u);
  EXPECT_EQ(g.run.grep("dump FormQS.txtInfo caption=\"Start:Z      Quit:X\" visible=1").size(), 1u);
  EXPECT_EQ(g.run.grep("dump FormQS.txtHisc caption=\"3000\"").size(), 1u);
  EXPECT_EQ(g.run.grep("dump FormQS.TimeGame interval=1000 enabled=0").size(), 1u);
  EXPECT_EQ(g.run.grep("dump FormQS.TimeRest interval=1000 enabled=0").size(), 1u);
}

TEST(StrikeTitle, PromptBlinksEvery250MsStartingShown) {
  Game g;
  g.play("1100 dump\n");
  auto blink = sets(g.run.lines(), "txtEvent", "visible");
  ASSERT_EQ(blink.size(), 4u) << g.run.dump();
  for (std::size_t i = 0; i < blink.size(); ++i) {
    EXPECT_EQ(blink[i].at, 250 * static_cast<std::int64_t>(i + 1));
    EXPECT_EQ(blink[i].value, i % 2 == 0 ? "1" : "0");
  }
  EXPECT_EQ(g.run.grep("1100 dump FormQS.txtEvent caption=\"Push Z or X\" visible=0").size(), 1u);
}

// X held through a game does nothing until the game is over; then the poll
// leaves at once. The music follows: title tune, game tune, pause, stop.
TEST(StrikeTitle, XHeldInPlayLeavesWhenTheGameEnds) {
  Game g;
  g.play(std::string(kStartScript) + "200 down X\n70000 quit\n");
  std::vector<std::string> expected = {
      "0 mci \"open <dir>/title.mid type sequencer alias midifile\"",
      "0 activate FormQS",
      "0 mci \"play midifile\"",
      "10 wav start.wav wait 0",
      "10 set FormQS.Label2 caption \"60\"",
      "10 mci \"open <dir>/bgm.mid type sequencer alias midifile\"",
      "10 mci \"seek midifile to 1\"",
      "10 mci \"play midifile\"",
      "200 key FormQS down X",
      "61010 mci \"pause midifile \"",
      "61010 wav gameover.wav wait 0",
      "61010 set FormQS.txtInfo caption \"Start:Z      Quit:X\"",
      "61020 wav end.wav wait 0",
      "61020 unload FormQS",
      "61020 write Qspe.dat 0000000000000000000000000000000000000000",
      "61020 mci \"stop midifile \"",
      "61020 mci \"close midifile\"",
      "61020 show FormMain"};
  // The end comes on the enemy tick at 61010, after that ms's poll: the next
  // poll leaves.
  EXPECT_TRUE(inOrder(g.run, expected));
  EXPECT_EQ(g.run.grep("unload FormQS").size(), 1u);
}

// Z and X held together on the title: the poll starts the game and, under
// the same test, leaves at once.
TEST(StrikeTitle, ZAndXHeldTogetherStartAndLeaveOnTheSamePoll) {
  Game g;
  g.play("0 down X\n0 down Z\n50 up Z\n");
  std::int64_t t0 = started(g.run.lines());
  ASSERT_EQ(t0, 10) << g.run.dump();
  EXPECT_EQ(timeOf(g.run.lines(), "unload FormQS"), 10);
  EXPECT_LT(g.run.indexOf("10 wav start.wav wait 0"), g.run.indexOf("10 wav end.wav wait 0"));
}

// ---- the cursor ----

TEST(StrikeCursor, StepsOneCellAndStopsAtEveryEdge) {
  // A walk round the grid from the centre, pushing against every edge; the
  // cell each key should leave the cursor on.
  const std::vector<std::pair<const char*, int>> walk = {
      {"Up", 1},    {"Up", 1},    {"Left", 0},  {"Left", 0}, {"Down", 3}, {"Left", 3}, {"Down", 6},
      {"Down", 6},  {"Left", 6},  {"Right", 7}, {"Down", 7}, {"Right", 8}, {"Right", 8}, {"Down", 8},
      {"Up", 5},    {"Right", 5}, {"Up", 2},    {"Right", 2}, {"Up", 2},   {"Left", 1}, {"Up", 1}};
  std::string s = kStartScript;
  std::int64_t t = 100;
  for (auto& [key, cell] : walk) {
    s += std::to_string(t) + " down " + key + "\n";
    s += std::to_string(t + 1) + " up " + std::string(key) + "\n";
    t += 10;
  }
  s += std::to_string(t) + " dump\n";
  Game g;
  g.play(s);
  // Replay the trace: the cursor of cell k is at (65 * column - 1, 65 * row + 7).
  int left = 64, top = 72;
  std::map<std::int64_t, std::pair<int, int>> at;
  for (auto& x : sets(g.run.lines(), "Myship", "left")) at[x.at].first = std::stoi(x.value) + 1000;
  for (auto& x : sets(g.run.lines(), "Myship", "top")) at[x.at].second = std::stoi(x.value) + 1000;
  t = 100;
  for (auto& [key, cell] : walk) {
    if (auto it = at.find(t); it != at.end()) {
      if (it->second.first) left = it->second.first - 1000;
      if (it->second.second) top = it->second.second - 1000;
    }
    EXPECT_EQ(left, 65 * (cell % 3) - 1) << key << " at " << t;
    EXPECT_EQ(top, 65 * (cell / 3) + 7) << key << " at " << t;
    t += 10;
  }
  // Out of play the same keys move nothing.
  Game idle;
  idle.play("100 down Left\n100 up Left\n110 down Up\n110 up Up\n120 repeat Right\n130 down Down\n");
  EXPECT_TRUE(idle.run.grep("FormQS.Myship").empty());
}

// ---- judging a strike ----

TEST(StrikeJudge, HitOnTheEnemysCellScoresRestartsTheEnemyTickFaster) {
  Player p(1, kStartScript, 20);
  Shown first = p.hitNext(5);
  ASSERT_GE(first.cell, 0);
  Game g(p.last() + 3000);
  g.play(p.script());
  const auto& ls = g.run.lines();
  std::int64_t hit = timeOf(ls, "set FormQS.Label1 caption \"100\"");
  ASSERT_GT(hit, first.at) << g.run.dump();
  EXPECT_LE(hit, first.at + 15);
  std::string t = std::to_string(hit) + " ";
  EXPECT_TRUE(inOrder(g.run, {t + "set FormQS.Enemy(" + std::to_string(first.cell) + ") visible 0",
                              t + "wav hit.wav async 0", t + "set FormQS.TimeGame interval 995",
                              t + "set FormQS.txtInfo caption \"Shoot:Z   HAND:59\""}));
  // The enemy tick counts again from the hit: the next enemy comes 995 ms later.
  Shown second = enemyAfter(ls, hit);
  EXPECT_EQ(second.at, hit + 995);
  // One hit, one point step, no miss.
  EXPECT_TRUE(g.run.grep("miss.wav").empty());
}

TEST(StrikeJudge, StrikesElsewhereCostTenAndTheScoreGoesNegative) {
  Player p(1, kStartScript, 20);
  Shown first = p.next();
  ASSERT_GE(first.cell, 0);
  int wrong = first.cell == 4 ? 0 : 4;
  p.strikeAt(wrong, first.at + 1);
  p.strikeAt(wrong, first.at + 40);
  Game g(p.last() + 100);
  g.play(p.script());
  auto score = sets(g.run.lines(), "Label1", "caption");
  ASSERT_EQ(score.size(), 3u) << g.run.dump();
  EXPECT_EQ(score[1].value, q("-10"));
  EXPECT_EQ(score[2].value, q("-20"));
  EXPECT_EQ(g.run.grep("wav miss.wav async").size(), 2u);
  // The enemy stays where it is and the pace does not change.
  EXPECT_TRUE(g.run.grep("Enemy(" + std::to_string(first.cell) + ") visible 0").empty());
  EXPECT_TRUE(g.run.grep("TimeGame interval").empty());
  EXPECT_TRUE(g.run.grep("HAND:59").empty());
}

TEST(StrikeJudge, HeldZCostsTenForEveryRepeatWhileAnEnemyIsShown) {
  Player p(1, kStartScript, 20);
  Shown first = p.next();
  ASSERT_GE(first.cell, 0);
  int wrong = first.cell == 8 ? 0 : 8;
  std::string s = p.script() + moves(4, wrong, 300);
  std::int64_t t = first.at + 5;
  s += std::to_string(t) + " down Z\n";
  for (int i = 1; i <= 4; ++i) s += std::to_string(t + 33 * i) + " repeat Z\n";
  s += std::to_string(t + 200) + " up Z\n";
  Game g(t + 300);
  g.play(s);
  auto score = sets(g.run.lines(), "Label1", "caption");
  std::vector<std::string> v;
  for (auto& x : score) v.push_back(x.value);
  EXPECT_EQ(v, (std::vector<std::string>{q("0"), q("-10"), q("-20"), q("-30"), q("-40"), q("-50")}))
      << g.run.dump();
}

TEST(StrikeJudge, AStrikeArmedWithNoEnemyShownIsJudgedAgainstTheNextOne) {
  Player p(1, kStartScript, 20);
  Shown first = p.next();
  ASSERT_GE(first.cell, 0);
  ASSERT_GT(first.at, 400);
  // Armed over the right cell before the enemy shows: a hit as soon as it does.
  {
    std::string s = std::string(kStartScript) + moves(4, first.cell, 300) + "400 down Z\n";
    Game g(first.at + 100);
    g.play(s);
    std::int64_t hit = timeOf(g.run.lines(), "set FormQS.Label1 caption \"100\"");
    EXPECT_GT(hit, first.at) << g.run.dump();
    EXPECT_LE(hit, first.at + 10);
  }
  // Armed over another cell: a miss on the same poll.
  {
    int wrong = first.cell == 4 ? 3 : 4;
    std::string s = std::string(kStartScript) + moves(4, wrong, 300) + "400 down Z\n";
    Game g(first.at + 100);
    g.play(s);
    std::int64_t miss = timeOf(g.run.lines(), "set FormQS.Label1 caption \"-10\"");
    EXPECT_GT(miss, first.at) << g.run.dump();
    EXPECT_LE(miss, first.at + 10);
  }
  // Let go before the enemy shows: nothing is judged.
  {
    std::string s = std::string(kStartScript) + "400 down Z\n500 up Z\n";
    Game g(first.at + 100);
    g.play(s);
    EXPECT_EQ(sets(g.run.lines(), "Label1", "caption").size(), 1u) << g.run.dump();
  }
}

TEST(StrikeJudge, AStrikeAfterAHitWaitsForTheNextEnemy) {
  Player p(1, kStartScript, 20);
  Shown first = p.hitNext(5);
  // Z pressed again while no enemy is shown, over the first enemy's cell.
  std::int64_t t = first.at + 100;
  Shown second = p.next();
  ASSERT_GT(second.at, t);
  p.add(std::to_string(t) + " down Z");
  Game g(second.at + 50);
  g.play(p.script());
  auto score = sets(g.run.lines(), "Label1", "caption");
  ASSERT_EQ(score.size(), 3u) << g.run.dump();
  EXPECT_EQ(score[2].value, second.cell == first.cell ? q("200") : q("90"));
  EXPECT_GT(score[2].at, second.at - 1);
  EXPECT_LE(score[2].at, second.at + 10);
}

// ---- the clock ----

TEST(StrikeClock, CountsDownTo0ThenTimeIsUpOnTheNextEnemyTick) {
  Game g(70000);
  g.play(kStartScript);
  const auto& ls = g.run.lines();
  std::int64_t t0 = started(ls);
  ASSERT_GT(t0, 0) << g.run.dump();
  auto clock = sets(ls, "Label2", "caption");
  ASSERT_EQ(clock.size(), 61u) << g.run.dump();
  for (int k = 0; k <= 60; ++k) {
    EXPECT_EQ(clock[static_cast<std::size_t>(k)].at, t0 + 1000 * k);
    EXPECT_EQ(clock[static_cast<std::size_t>(k)].value, q(std::to_string(60 - k)));
  }
  std::int64_t up = timeOf(ls, "set FormQS.txtTitle caption \"Time is Up!!\"");
  EXPECT_EQ(up, t0 + 61000);
  std::string t = std::to_string(up) + " ";
  EXPECT_TRUE(inOrder(g.run, {t + "mci \"pause midifile \"", t + "set FormQS.txtTitle caption \"Time is Up!!\"",
                              t + "set FormQS.txtBG caption \"U\"", t + "set FormQS.Myship caption \"N\"",
                              t + "wav gameover.wav wait 0", t + "set FormQS.TimeGame enabled 0",
                              t + "set FormQS.TimeRest enabled 0",
                              t + "set FormQS.txtInfo caption \"Start:Z      Quit:X\""}));
  // Nothing to beat the best: it stays 3000; the cursor stays on screen.
  EXPECT_TRUE(g.run.grep("txtHisc caption").empty());
  EXPECT_TRUE(g.run.grep("Myship visible 0").empty());
  // No enemy is left on screen and the prompt blinks again.
  for (int i = 0; i < 9; ++i) {
    auto v = sets(ls, "Enemy(" + std::to_string(i) + ")", "visible");
    if (!v.empty()) {
      EXPECT_EQ(v.back().value, "0");
    }
  }
  EXPECT_GT(sets(ls, "txtEvent", "visible").back().at, up);
}

TEST(StrikeClock, WithTheEnemyTickShortenedTimeIsUpAtItsFirstTickAfter0) {
  Player p(1, kStartScript, 20);
  p.hitNext(5);
  Game g(80000);
  g.play(p.script());
  const auto& ls = g.run.lines();
  std::int64_t hit = timeOf(ls, "set FormQS.Label1 caption \"100\"");
  std::int64_t zero = timeOf(ls, "set FormQS.Label2 caption \"0\"");
  std::int64_t up = timeOf(ls, "set FormQS.txtTitle caption \"Time is Up!!\"");
  ASSERT_GT(hit, 0) << g.run.dump();
  ASSERT_GT(zero, 0);
  EXPECT_EQ((up - hit) % 995, 0);
  EXPECT_GT(up, zero);
  EXPECT_LE(up - 995, zero);
  EXPECT_TRUE(g.run.grep("Label2 caption \"-1\"").empty());
}

}  // namespace
}  // namespace qs::test
