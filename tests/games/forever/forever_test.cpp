// The Forever shooter, headless. Whole games are flown by a pilot that reads
// the field every 10 ms and presses keys as a player watching it would; its
// keys are script lines, so each trace replays as a script.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

#include "games/forever/pilot.h"

namespace qs::test::forever {
namespace {

// The menu and the ending as far as these tests need them: the ending shows
// the game again a second after it opens.
class MenuStub : public Form {
 public:
  MenuStub() : Form("FormMain") {}
  void design() override { setClientSize(282, 228); }
};
class EndingStub : public Form {
 public:
  EndingStub() : Form("FormEnd") {}
  void design() override {
    setClientSize(100, 100);
    addTimer(close, "close", 1000, true, [this] { unload(); });
  }
  void Form_Unload() override { app().show(app().form("FormQF")); }

 private:
  Timer close;
};

inline std::string set(const std::string& element, const std::string& prop, const std::string& value) {
  return "set FormQF." + element + " " + prop + " " + value;
}
inline std::string caption(const std::string& element, const std::string& text) {
  return set(element, "caption", inQuotes(text));
}

// A run of the scene with the stand-ins, from a given record.
class Forever : public ::testing::Test {
 protected:
  FormQF& make(std::int64_t until, std::optional<ScoreRecord> rec = std::nullopt, std::uint64_t seed = 1) {
    HeadlessRun::Setup setup{.seed = seed, .until = until};
    if (rec) setup.scores = bytesOf(rec->toBytes());
    run.emplace(std::move(setup));
    FormQF& scene = run->add<FormQF>();
    run->add<MenuStub>();
    run->add<EndingStub>();
    return scene;
  }
  TraceView play(const std::string& script = "") { return run->run("FormQF", script); }
  ScoreRecord written() const {
    Bytes b = readBytes(run->file("Qspe.dat"));
    return ScoreRecord::fromBytes(b.data(), b.size());
  }
  std::optional<HeadlessRun> run;
};

using Times = std::vector<std::int64_t>;

// ---- loading ----

struct Stored {
  std::int32_t best;
  std::int16_t cleared;
  const char* shown;
  const char* caption;
  const char* label2;
};

class ForeverLoad : public Forever, public ::testing::WithParamInterface<Stored> {};

TEST_P(ForeverLoad, ShowsTheStoredBestFrom10000AndTheStarOfAClear) {
  const Stored& s = GetParam();
  ScoreRecord rec;
  rec.hiScoreQF = s.best;
  rec.clearQF = s.cleared;
  make(100, rec);
  auto t = play("0 dump\n");
  EXPECT_EQ(t.dumpOf("FormQF.txtHisc").find("FormQF.txtHisc caption=" + inQuotes(s.shown)), 0u);
  EXPECT_EQ(t.dumpOf("FormQF").find("FormQF caption=" + inQuotes(s.caption)), 0u);
  EXPECT_EQ(t.dumpOf("FormQF.Label2").find("FormQF.Label2 caption=" + inQuotes(s.label2)), 0u);
}

INSTANTIATE_TEST_SUITE_P(Records, ForeverLoad,
                         ::testing::Values(Stored{0, 0, "10000", "QorvexBlast Forever", ""},
                                           Stored{9999, 1, "10000", "QorvexBlast Forever", ""},
                                           Stored{12345, kTrue, "12345", "★QorvexBlast Forever", "SAMURAI"}));

// ---- the ship ----

// Arrows in the title move nothing; in play the ship stops at columns 0 and 6.
TEST_F(Forever, TheShipStaysInColumnsZeroToSix) {
  make(3000);
  std::string s = "5 down Left\n6 down Right\n100 down Z\n120 up Z\n";
  for (int i = 0; i < 5; ++i) s += std::to_string(200 + i) + " down Left\n";
  for (int i = 0; i < 9; ++i) s += std::to_string(300 + i) + " down Right\n";
  auto t = play(s);
  Times lefts;
  for (auto& v : t.values("FormQF.Myship", "left")) lefts.push_back(std::stoi(v.value));
  EXPECT_EQ(t.first(set("Myship", "left", "64")), 200) << "no step in the title";
  EXPECT_EQ(lefts, (Times{64, 32, 0, 32, 64, 96, 128, 160, 192}));
}

// ---- a game lost, and the next ----

// Without a shot the wall lands on the ship in column 3 on the 8th enemy tick;
// the enemies after it in the loop step on from where gameOver put them.
TEST_F(Forever, ASecondGameStartsWithTheWallWhereTheLossLeftIt) {
  make(9100);
  auto t = play("0 down Z\n20 up Z\n9000 down Z\n9015 dump\n9020 up Z\n");
  const std::int64_t crash = t.first(caption("txtTitle", "Aaahhhhhg!!"));
  EXPECT_EQ(crash, 10 + 8 * FormQF::kEnemyInterval);
  EXPECT_TRUE(t.inOrder({caption("Myship", "N"), caption("Bgtxt", "N"), "wav miss.wav wait 0",
                         "mci \"pause midifile \"", caption("Bgtxt", "U"), caption("txtTitle", "Game Over"),
                         "wav gameover.wav wait 0"}));
  for (int i = 0; i < FormQF::kColumns; ++i) {
    const std::string d = t.dumpOf("FormQF.Enemy(" + std::to_string(i) + ")");
    EXPECT_NE(d.find(" visible=1 left=" + std::to_string(32 * i) + " top=" + (i <= 3 ? "-64" : "-32")),
              std::string::npos)
        << d;
  }
  EXPECT_NE(t.dumpOf("FormQF.Myship").find("caption=\">\" visible=1 left=96 top=224"), std::string::npos);
  EXPECT_NE(t.dumpOf("FormQF.TimeEnemy").find("interval=1000 enabled=1"), std::string::npos);
}

// ---- whole games ----

constexpr std::int64_t kLong = 900000;

const char* face(int power) { return power <= 100 ? "L" : power <= 200 ? "K" : "J"; }

class ForeverGame : public Forever {
 protected:
  // Flies one game from `rec` and leaves the scene once it is over.
  TraceView fly(Aim aim, int startFrom = 0, std::optional<ScoreRecord> rec = std::nullopt) {
    FormQF& scene = make(kLong, rec);
    Pilot pilot(*run, scene, aim, startFrom);
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
  EXPECT_TRUE(t.inOrder({at + set("Skull", "left", "288"), at + set("Skull", "top", "32"),
                         at + caption("Myship", "N"), at + caption("Bgtxt", "N"),
                         at + caption("txtTitle", "Aaahhhhhg!!"), at + "wav miss.wav wait 0",
                         at + set("TimeBoss", "enabled", "0"), at + caption("txtTitle", "Game Over")}));
  // Each skull leaves 64 right of where the boss stands (it moves after the
  // launch), and only once the one before has been parked.
  const Times launches = t.times("wav appear.wav async 0");
  ASSERT_FALSE(launches.empty());
  auto lefts = t.values("FormQF.txtBoss", "left");
  for (std::size_t i = 0; i < launches.size(); ++i) {
    auto boss = std::find_if(lefts.rbegin(), lefts.rend(), [&](auto& v) { return v.at < launches[i]; });
    const std::string left = std::to_string(std::stoi(boss->value) + 64);
    EXPECT_TRUE(t.has(std::to_string(launches[i]) + " " + set("Skull", "left", left)));
    const std::int64_t park = i > 0 ? t.first(set("Skull", "left", "288"), launches[i - 1]) : 0;
    EXPECT_TRUE(park >= 0 && park < launches[i]) << "launched at " << launches[i];
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
