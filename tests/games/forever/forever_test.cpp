#include <gtest/gtest.h>

#include <algorithm>

#include "forever_pilot.h"

namespace qs::test::forever {
namespace {

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

// Enemy(1) to Enemy(7) are made hidden above their columns, each with a glyph
// of the style table; Enemy(0) keeps its "A" and the seven are on top.
TEST_F(Forever, LoadMakesEightEnemiesAboveTheField) {
  make(100);
  auto t = play("0 dump\n");
  auto order = t.dumpOrder("FormQF");
  EXPECT_EQ(std::vector<std::string>(order.begin() + 1, order.begin() + 9),
            (std::vector<std::string>{"Enemy(7)", "Enemy(6)", "Enemy(5)", "Enemy(4)", "Enemy(3)", "Enemy(2)",
                                      "Enemy(1)", "Power"}));
  for (int i = 0; i <= 7; ++i) {
    const std::string e = "FormQF.Enemy(" + std::to_string(i) + ")";
    const std::string d = t.dumpOf(e);
    const std::string glyph = d.substr(d.find("caption=\"") + 9, 1);
    EXPECT_NE(std::string(i == 0 ? "A" : "AB@HIC").find(glyph), std::string::npos) << d;
    EXPECT_NE(d.find(" visible=" + std::string(i == 0 ? "1" : "0") + " left=" + std::to_string(32 * i) + " top=-32"),
              std::string::npos)
        << d;
  }
}

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

}  // namespace
}  // namespace qs::test::forever
