// Whole games flown by the pilot: to the boss and through its 255 hits, with
// and without the power item, and lost to a skull.
#include <gtest/gtest.h>

#include <algorithm>

#include "forever_pilot.h"

namespace qs::test::forever {
namespace {

using Times = std::vector<std::int64_t>;

constexpr std::int64_t kLong = 900000;

const char* face(int power) { return power <= 100 ? "L" : power <= 200 ? "K" : "J"; }

class ForeverGame : public Forever {
 protected:
  // Flies one game from `rec` and leaves the scene once it is over.
  TraceView fly(Aim aim, int startFrom = 0, std::optional<ScoreRecord> rec = std::nullopt) {
    FormQF& scene = make(kLong, rec);
    Pilot pilot(*run, scene, aim);
    pilot.startFrom(startFrom);
    auto t = play();
    EXPECT_EQ(t.count("show FormMain"), 1) << "the pilot did not get to leave";
    return t;
  }
  static std::int64_t bossAt(const TraceView& t) { return t.first(set("txtBoss", "left", "48")); }
  // Where the power item was dropped into the field.
  static std::vector<TraceView::Value> drops(const TraceView& t) {
    auto v = t.values("FormQF.Power", "left");
    std::erase_if(v, [](auto& d) { return std::stoi(d.value) >= FormQF::kFieldWidth; });
    return v;
  }
};

// The 100th enemy calls the boss on its own tick; the enemy tick has then
// reached its 500 ms floor. 255 hits later the boss falls, the game is
// cleared with the plain ship and the ending runs; the title comes back with
// a fresh player that has no tune.
TEST_F(ForeverGame, TheBossComesAt10000AndFallsAfter255Hits) {
  auto t = fly(Aim::Clear);
  const std::int64_t boss = bossAt(t);
  ASSERT_GT(boss, 0) << "no boss";
  EXPECT_EQ(t.first(caption("txtScore", "10000")), boss);
  EXPECT_TRUE(t.inOrder({std::to_string(boss) + " " + caption("txtScore", "10000"),
                         std::to_string(boss) + " " + set("txtBoss", "top", "64"),
                         std::to_string(boss) + " " + caption("Bgtxt", ""),
                         std::to_string(boss) + " wav appear.wav wait 0",
                         std::to_string(boss) + " " + set("TimeBoss", "enabled", "1")}));
  EXPECT_EQ(t.count(caption("txtScore", "10100")), 0) << "the boss's 100 shows only with the next hit";

  // The enemy tick loses 5 ms per hit down to 500, and is back at 1000 after the clear.
  auto intervals = t.valuesOnly("FormQF.TimeEnemy", "interval");
  ASSERT_EQ(intervals.size(), 101u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(intervals[i], std::to_string(995 - 5 * i));
  EXPECT_EQ(intervals.back(), "1000");

  // Boss hits, and the face the boss tick gives for the hits before it.
  const Times hits = t.times("wav miss.wav async 0");
  ASSERT_EQ(hits.size(), 255u) << t.dump();
  EXPECT_GT(hits.front(), boss);
  for (auto& v : t.values("FormQF.txtBoss", "caption")) {
    if (std::binary_search(hits.begin(), hits.end(), v.at) && v.value == inQuotes("L")) continue;
    const int before = static_cast<int>(std::lower_bound(hits.begin(), hits.end(), v.at) - hits.begin());
    EXPECT_EQ(v.value, inQuotes(face(255 - before))) << "at " << v.at;
  }

  // The clear, on the tick of the last hit.
  const std::string at = std::to_string(hits.back()) + " ";
  EXPECT_TRUE(t.inOrder({at + "mci \"pause midifile \"", at + "wav appear.wav wait 0", at + "wav appear.wav wait 0",
                         at + "wav appear.wav wait 0", at + "hide FormQF", at + "mci \"stop midifile \"",
                         at + "mci \"close midifile\"", at + caption("Myship", ""), at + caption("Label1", "Forever"),
                         at + "load FormEnd", at + "show FormEnd"}))
      << t.dump();
  EXPECT_EQ(t.count("wav appear.wav wait"), 4);
  const std::string back = std::to_string(hits.back() + 1000) + " ";
  EXPECT_TRUE(t.inOrder({back + "unload FormEnd", back + "show FormQF", back + "activate FormQF",
                         back + "mci \"play midifile\""}));
  EXPECT_EQ(t.count("mci \"open", t.find("load FormEnd")), 0) << "no tune after the clear";

  // No power item before the boss and at most one; Enemy(7) never shows.
  auto dropped = drops(t);
  EXPECT_LE(dropped.size(), 1u);
  for (auto& d : dropped) EXPECT_GT(d.at, boss);
  EXPECT_EQ(t.count("Enemy(7) visible 1"), 0);

  // The best and the clear are kept: every enemy and the boss paid.
  const int final = std::stoi(t.valuesOnly("FormQF.txtHisc", "caption").back().substr(1));
  EXPECT_EQ(t.values("FormQF.txtHisc", "caption").back().at, hits.back());
  EXPECT_EQ(final, 100 * t.count("wav hit.wav async") + 100 + 10000);
  EXPECT_EQ(written().hiScoreQF, final);
  EXPECT_EQ(written().clearQF, kTrue);
}

// The item drops once, after the boss; taken, it makes the beam tick 50 ms
// and the ship "<", and the clear then leaves the clear flag alone.
TEST_F(ForeverGame, ThePowerItemDoublesTheBeamAndTheClearIsNotMarked) {
  auto t = fly(Aim::CatchPower, 9900);
  const std::int64_t boss = bossAt(t);
  auto dropped = drops(t);
  ASSERT_EQ(dropped.size(), 1u) << t.dump();
  EXPECT_GT(dropped[0].at, boss);
  const std::int64_t taken = t.first(set("TimeBeam", "interval", "50"));
  ASSERT_GT(taken, dropped[0].at);
  const std::string at = std::to_string(taken) + " ";
  EXPECT_TRUE(t.inOrder({at + caption("Beam", "A"), at + caption("Myship", "<"), at + set("Power", "left", "288"),
                         at + "wav pow.wav wait 0"}));
  // A beam in flight climbs 32 pixels a tick: every 100 ms before, 50 after.
  auto tops = t.values("FormQF.Beam", "top");
  for (std::size_t i = 1; i < tops.size(); ++i)
    if (std::stoi(tops[i - 1].value) <= 192 && std::stoi(tops[i].value) == std::stoi(tops[i - 1].value) - 32) {
      EXPECT_EQ(tops[i].at - tops[i - 1].at, tops[i - 1].at >= taken ? 50 : 100) << "at " << tops[i].at;
    }
  EXPECT_TRUE(t.has(std::to_string(t.times("wav miss.wav async 0").back()) + " load FormEnd"));
  EXPECT_EQ(written().clearQF, 0);
}

// A skull leaves from the boss's middle, one at a time; one that meets the
// ship ends the game. The best is stored only when the game beats it; from
// 50000 the game starts with the smiling ship.
struct Best {
  std::int32_t stored;
  bool shiny;  // the smiling ship
  bool raised;
};

class ForeverSkull : public ForeverGame, public ::testing::WithParamInterface<Best> {};

TEST_P(ForeverSkull, ASkullEndsTheGameAndOnlyABetterScoreIsStored) {
  const Best& b = GetParam();
  ScoreRecord rec;
  rec.hiScoreQF = b.stored;
  auto t = fly(Aim::MeetSkull, 9900, rec);
  EXPECT_EQ(t.first(caption("Myship", "J")) == t.first(set("TimeBeam", "enabled", "1")), b.shiny);
  const std::int64_t hit = t.first(caption("Myship", "N"));
  ASSERT_GT(hit, bossAt(t));
  const std::string at = std::to_string(hit) + " ";
  EXPECT_TRUE(t.inOrder({at + set("Skull", "left", "288"), at + set("Skull", "top", "32"), at + caption("Myship", "N"),
                         at + caption("Bgtxt", "N"), at + caption("txtTitle", "Aaahhhhhg!!"), at + "wav miss.wav wait 0",
                         at + set("TimeBoss", "enabled", "0"), at + caption("txtTitle", "Game Over")}));
  // Each launch starts 64 right of the boss; the next comes only after a park.
  const Times launches = t.times("wav appear.wav async 0");
  ASSERT_FALSE(launches.empty());
  for (std::size_t i = 0; i < launches.size(); ++i) {
    int bossLeft = 0;
    for (auto& v : t.values("FormQF.txtBoss", "left"))
      if (v.at < launches[i]) bossLeft = std::stoi(v.value);  // the boss moves after the launch
    EXPECT_TRUE(t.has(std::to_string(launches[i]) + " " + set("Skull", "left", std::to_string(bossLeft + 64))));
    if (i > 0) {
      const std::int64_t park = t.first(set("Skull", "left", "288"), launches[i - 1]);
      EXPECT_TRUE(park >= 0 && park < launches[i]) << "launched at " << launches[i];
    }
  }
  // The best shown is raised at the loss; Z still held starts the next game
  // on the next poll.
  auto best = t.values("FormQF.txtHisc", "caption");
  std::erase_if(best, [](auto& v) { return v.at == 0; });  // the load's
  if (b.raised) {
    ASSERT_EQ(best.size(), 1u);
    EXPECT_EQ(best[0].at, hit);
    EXPECT_EQ(inQuotes(std::to_string(written().hiScoreQF)), best[0].value);
    EXPECT_GT(written().hiScoreQF, 10000);
  } else {
    EXPECT_TRUE(best.empty());
    EXPECT_EQ(written().hiScoreQF, b.stored);
  }
  const Times starts = t.times("wav start.wav wait 0");
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_LE(starts[1], hit + 10);
}

INSTANTIATE_TEST_SUITE_P(Stored, ForeverSkull,
                         ::testing::Values(Best{0, false, true}, Best{60000, true, false}));

}  // namespace
}  // namespace qs::test::forever
