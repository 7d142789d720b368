#include <gtest/gtest.h>

#include <fstream>

#include "strike_support.h"

namespace qs::test {
namespace {

using namespace strike;

constexpr std::uint64_t kSeed = 1;

// Strikes the first `hits` enemies of a game started by kStartScript; the
// enemy numbered `missAt` (from 0) is first struck on a wrong cell.
Player strikeEnemies(int hits, int missAt = -1) {
  Player p(kSeed, kStartScript, 20);
  for (int k = 0; k < hits; ++k) {
    Shown e = p.hitNext(1, k == missAt);
    if (e.cell < 0) ADD_FAILURE() << "no enemy number " << k;
  }
  return p;
}

std::int64_t destroyedAt(const std::vector<std::string>& lines) {
  return timeOf(lines, "set FormQS.txtTitle caption \"Destroyed!!\"");
}

std::string at(std::int64_t t, const std::string& what) { return std::to_string(t) + " " + what + "\n"; }
std::string press(std::int64_t t, const char* key) {
  return at(t, std::string("down ") + key) + at(t + 20, std::string("up ") + key);
}

// The hex of the clear flag at offset 8 in the last write of the score file.
std::string clearFlagWritten(const HeadlessRun& run) {
  auto writes = run.grep(" write Qspe.dat ");
  if (writes.empty()) return "none";
  const std::string& l = writes.back();
  return l.substr(l.rfind(' ') + 1).substr(16, 4);
}

TEST(StrikeClear, SixtyHitsWithoutAMissDestroyMarkTheGameClearedAndSmileNextTime) {
  Player p = strikeEnemies(60);
  std::int64_t d = destroyedAt(p.trial(2000));
  ASSERT_GT(d, 0);
  // Game 2 in the same visit runs out of time; game 3 shows the smiling
  // cursor; X leaves; Z on the menu comes back; game 4 runs out of time and
  // game 5 has the plain cursor again.
  std::int64_t g2 = d + 500, g3 = g2 + 62000, leave = g3 + 62000, back = leave + 500, g4 = back + 500,
               g5 = g4 + 62000;
  std::string s = p.script() + press(g2, "Z") + press(g3, "Z") + press(leave, "X") + press(back, "Z") +
                  press(g4, "Z") + press(g5, "Z");

  TempDir dir;
  {
    // Other games' results are in the file already; only clearQS may change.
    std::ofstream f(dir.path() + "/Qspe.dat", std::ios::binary);
    const unsigned char rec[20] = {0xff, 0xff, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x39, 0x30, 0, 0, 0, 0, 0, 0};
    f.write(reinterpret_cast<const char*>(rec), sizeof rec);
  }
  HeadlessRun run({.dir = dir.path(), .seed = kSeed, .until = g5 + 500});
  run.add<FormQS>();
  run.add<MenuStub>();
  const auto& ls = run.run("FormQS", s);

  // The perfect game: 60 hands, 6000 points, the pace 60 x 5 ms faster.
  ASSERT_EQ(destroyedAt(ls), d) << run.dump();
  EXPECT_EQ(sets(ls, "Label1", "caption")[60].value, q("6000"));
  auto pace = sets(ls, "TimeGame", "interval");
  ASSERT_GE(pace.size(), 60u);
  EXPECT_EQ(pace[59].value, "700");
  EXPECT_LT(pace[59].at, d);
  EXPECT_GT(pace[60].at, d);  // back to 1000 at the next start
  EXPECT_TRUE(run.grep("HAND:-").empty());
  std::string t = std::to_string(d) + " ";
  EXPECT_TRUE(inOrder(run, {t + "mci \"pause midifile \"", t + "wav clear.wav wait 0",
                            t + "set FormQS.txtTitle caption \"Destroyed!!\"", t + "set FormQS.txtBG caption \"P\"",
                            t + "set FormQS.Myship caption \"J\"", t + "set FormQS.TimeRest enabled 0",
                            t + "set FormQS.txtHisc caption \"6000\""}));

  // Game 3 of the same visit: the best is exactly 6000, so the cursor smiles.
  auto ship = sets(ls, "Myship", "caption");
  std::vector<std::string> afterG3, afterG5;
  for (auto& c : ship) {
    if (c.at >= g3 && c.at <= g3 + 10) afterG3.push_back(c.value);
    if (c.at >= g5 && c.at <= g5 + 10) afterG5.push_back(c.value);
  }
  EXPECT_EQ(afterG3, (std::vector<std::string>{q("J")}));
  // The next visit starts from 3000 again: the plain cursor.
  EXPECT_EQ(afterG5, (std::vector<std::string>{q(">")}));

  // Left with X: the record goes back with clearQS set and the rest kept.
  auto writes = run.grep(" write Qspe.dat ");
  ASSERT_EQ(writes.size(), 1u) << run.dump();
  EXPECT_EQ(writes[0].substr(writes[0].find(' ')), " write Qspe.dat ffff000000000000ffff00003930000000000000");
  std::int64_t written = std::stoll(writes[0]);
  EXPECT_GE(written, leave);
  EXPECT_LE(written, leave + 10);
  // The next visit shows the star.
  EXPECT_GT(timeOf(ls, "set FormQS caption \"★QorvexStrike!\"", written), 0);
  EXPECT_TRUE(run.grep("set FormQS caption").size() == 1);
}

// Plays a prepared script to its end plus a little; X leaves after the end.
struct Ended {
  TempDir dir;
  HeadlessRun run;
  std::int64_t destroyed = -1, left = -1;
  explicit Ended(const Player& p) : run({.dir = dir.path(), .seed = kSeed, .until = kNever}) {
    run.add<FormQS>();
    run.add<MenuStub>();
    destroyed = destroyedAt(p.trial(2000));
    left = destroyed + 500;
    run.run("FormQS", p.script() + press(left, "X"));
  }
};

TEST(StrikeClear, OneMissAmongSixtyHitsStillDestroysButDoesNotClear) {
  Player p = strikeEnemies(60, 10);
  Ended e(p);
  const auto& ls = e.run.lines();
  ASSERT_GT(e.destroyed, 0);
  EXPECT_EQ(destroyedAt(ls), e.destroyed) << e.run.dump();
  EXPECT_EQ(sets(ls, "Label1", "caption").back().value, q("5990"));
  EXPECT_TRUE(e.run.has(std::to_string(e.destroyed) + " set FormQS.txtHisc caption \"5990\""));
  EXPECT_TRUE(e.run.grep("Myship caption \"J\"").empty());
  EXPECT_EQ(clearFlagWritten(e.run), "0000");
}

// The 60 hands are counted only on the clock's tick: an enemy struck between
// the 60th hit and that tick still counts, and 6100 is not a clear.
TEST(StrikeClear, HitsBeforeTheNextClockTickCountPastSixtyAndSpoilTheClear) {
  Player p = strikeEnemies(59);
  auto lines = p.trial(3000);
  Shown sixtieth = enemyAfter(lines, p.last());
  ASSERT_GE(sixtieth.cell, 0);
  // Strike the 60th just after a clock tick when one falls while it is up, so
  // the next enemy (700 ms on) comes before the following tick.
  std::int64_t when = sixtieth.at + 1;
  for (auto& tick : sets(lines, "Label2", "caption"))
    if (tick.at > sixtieth.at && tick.at < sixtieth.at + 680) when = tick.at + 1;
  p.strikeAt(sixtieth.cell, when);
  Shown extra = p.hitNext();
  ASSERT_GE(extra.cell, 0);
  ASSERT_LT(extra.at, destroyedAt(p.trial(2000))) << "the 61st enemy came after the clock's tick";

  Ended e(p);
  const auto& ls = e.run.lines();
  ASSERT_GT(e.destroyed, extra.at) << e.run.dump();
  EXPECT_TRUE(e.run.grep("caption \"Shoot:Z   HAND:-1\"").size() == 1);
  EXPECT_EQ(sets(ls, "Label1", "caption").back().value, q("6100"));
  EXPECT_EQ(sets(ls, "TimeGame", "interval").back().value, "695");
  EXPECT_TRUE(e.run.has(std::to_string(e.destroyed) + " set FormQS.txtHisc caption \"6100\""));
  EXPECT_TRUE(e.run.grep("Myship caption \"J\"").empty());
  EXPECT_EQ(clearFlagWritten(e.run), "0000");
}

}  // namespace
}  // namespace qs::test
