#include <gtest/gtest.h>

#include "strike_player.h"

namespace qs::test::strike {
namespace {

// Strikes the first `hits` enemies of a game started by kStartScript; the
// enemy numbered `missAt` (from 0) is first struck on a wrong cell.
Player strikeEnemies(int hits, int missAt = -1) {
  Player p;
  for (int k = 0; k < hits; ++k)
    if (p.hitNext(1, k == missAt).cell < 0) ADD_FAILURE() << "no enemy number " << k;
  return p;
}

std::int64_t destroyedAt(const TraceView& t) { return t.first(caption("txtTitle", "Destroyed!!")); }
std::int64_t destroyedAt(const Player& p) {
  return p.trial([](const TraceView& t) { return destroyedAt(t); }, 2000);
}

TEST_F(Strike, SixtyHitsWithoutAMissDestroyMarkTheGameClearedAndSmileNextTime) {
  Player p = strikeEnemies(60);
  const std::int64_t d = destroyedAt(p);
  ASSERT_GT(d, 0);
  // Game 2 in the same visit runs out of time; game 3 shows the smiling
  // cursor; X leaves; Z on the menu comes back; game 4 runs out of time and
  // game 5 has the plain cursor again.
  const std::int64_t g2 = d + 500, g3 = g2 + 62000, leave = g3 + 62000, back = leave + 500, g4 = back + 500,
                     g5 = g4 + 62000;
  // Other games' results are in the file already; only clearQS may change.
  std::string keys;
  for (auto [at, key] : {std::pair{g2, "Z"}, {g3, "Z"}, {leave, "X"}, {back, "Z"}, {g4, "Z"}, {g5, "Z"}})
    keys += press(at, key, 20);
  auto t = play(p.script() + keys, g5 + 500, {.scores = Bytes{0xff, 0xff, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x39, 0x30, 0, 0, 0, 0, 0, 0}});

  // The perfect game: 60 hands, 6000 points, the pace 60 x 5 ms faster.
  ASSERT_EQ(destroyedAt(t), d) << t.dump();
  EXPECT_EQ(t.valuesOnly("FormQS.Label1", "caption")[60], inQuotes("6000"));
  auto pace = t.values("FormQS.TimeGame", "interval");
  ASSERT_GE(pace.size(), 61u);
  EXPECT_EQ(pace[59].value, "700");
  EXPECT_LT(pace[59].at, d);
  EXPECT_GT(pace[60].at, d) << "back to 1000 at the next start";
  EXPECT_EQ(t.count("HAND:-"), 0);
  const std::string at = std::to_string(d) + " ";
  EXPECT_TRUE(t.inOrder({at + "mci \"pause midifile \"", at + "wav clear.wav wait 0",
                         at + caption("txtTitle", "Destroyed!!"), at + caption("txtBG", "P"),
                         at + caption("Myship", "J"), at + set("TimeRest", "enabled", "0"),
                         at + caption("txtHisc", "6000")}));

  // The best is exactly 6000 in game 3 of the visit, so the cursor smiles;
  // the next visit starts from 3000 again.
  std::vector<std::string> atG3, atG5;
  for (auto& c : t.values("FormQS.Myship", "caption")) {
    if (c.at >= g3 && c.at <= g3 + 10) atG3.push_back(c.value);
    if (c.at >= g5 && c.at <= g5 + 10) atG5.push_back(c.value);
  }
  EXPECT_EQ(atG3, (std::vector<std::string>{inQuotes("J")}));
  EXPECT_EQ(atG5, (std::vector<std::string>{inQuotes(">")}));

  // Left with X: the record goes back with clearQS set and the rest kept,
  // and the next visit shows the star.
  auto writes = t.grep(" write Qspe.dat ");
  ASSERT_EQ(writes.size(), 1u) << t.dump();
  EXPECT_EQ(writes[0].substr(writes[0].find(' ')), " write Qspe.dat ffff000000000000ffff00003930000000000000");
  const std::int64_t written = std::stoll(writes[0]);
  EXPECT_GE(written, leave);
  EXPECT_LE(written, leave + 10);
  EXPECT_GT(t.first("set FormQS caption \"★QorvexStrike!\"", written), 0);
  EXPECT_EQ(t.count("set FormQS caption"), 1);
}

// Ways to reach "Destroyed!!" that are not a clear: a miss among the sixty
// hits, or a 61st hit landed before the clock's tick looks at the hands.
struct Spoilt {
  const char* name;
  Player (*plan)();
  const char* score;
  const char* interval;  // the enemy tick at the end
  int handsShown;        // hands left as last shown
};

void PrintTo(const Spoilt& s, std::ostream* os) { *os << s.name; }

// The 60th enemy is struck just after a clock tick when one falls while it
// is up, so the next enemy (700 ms on) comes before the following tick.
Player sixtyOneHits() {
  Player p = strikeEnemies(59);
  auto [sixtieth, ticks] = p.trial(
      [&](const TraceView& t) { return std::pair{enemyAfter(t, p.last()), t.values("FormQS.Label2", "caption")}; },
      3000);
  std::int64_t when = sixtieth.at + 1;
  for (auto& tick : ticks)
    if (tick.at > sixtieth.at && tick.at < sixtieth.at + 680) when = tick.at + 1;
  p.strikeAt(sixtieth.cell, when);
  const Shown extra = p.hitNext();
  EXPECT_LT(extra.at, destroyedAt(p)) << "the 61st enemy came after the clock's tick";
  return p;
}

class SpoiltClear : public Strike, public ::testing::WithParamInterface<Spoilt> {};

TEST_P(SpoiltClear, DestroysWithoutMarkingTheGameCleared) {
  const Player p = GetParam().plan();
  const std::int64_t destroyed = destroyedAt(p);
  ASSERT_GT(destroyed, 0);
  auto t = play(p.script() + press(destroyed + 500, "X", 20));
  ASSERT_EQ(destroyedAt(t), destroyed) << t.dump();
  EXPECT_EQ(t.valuesOnly("FormQS.Label1", "caption").back(), inQuotes(GetParam().score));
  EXPECT_EQ(t.valuesOnly("FormQS.TimeGame", "interval").back(), GetParam().interval);
  EXPECT_EQ(t.valuesOnly("FormQS.txtInfo", "caption").back(), inQuotes("Start:Z      Quit:X"));
  EXPECT_EQ(t.count("HAND:" + std::to_string(GetParam().handsShown) + "\""), 1);
  EXPECT_TRUE(t.has(std::to_string(destroyed) + " " + caption("txtHisc", GetParam().score)));
  EXPECT_EQ(t.count("Myship caption \"J\""), 0);
  EXPECT_EQ(t.grep(" write Qspe.dat ", true), (std::vector<std::string>{"write Qspe.dat " + std::string(40, '0')}));
}

INSTANTIATE_TEST_SUITE_P(
    Strike, SpoiltClear,
    ::testing::Values(Spoilt{"OneMissAmongSixtyHits", [] { return strikeEnemies(60, 10); }, "5990", "700", 0},
                      Spoilt{"SixtyOneHitsBeforeTheClockTick", sixtyOneHits, "6100", "695", -1}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test::strike
