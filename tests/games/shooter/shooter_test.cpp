// The shooter's rules, run on every shooter scene: each scene is one row of
// kShooters, which says where its field puts things in the trace's terms.
#include "runtime/random.h"
#include "shooter_rows.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

// ---- the scene at load and in the title ----

TEST_P(ShooterRules, EnemyCopiesWaitHiddenInTheirLanesAboveTheRest) {
  start(kNever);
  auto t = play("0 dump\n");
  EXPECT_TRUE(t.has("0 " + enemyAt(0, v().entry)));
  const auto order = t.dumpOrder(v().form);
  ASSERT_GE(order.size(), 6u) << t.dump();
  EXPECT_EQ(std::vector(order.begin(), order.begin() + 5),
            (std::vector<std::string>{"Window", enemy(4), enemy(3), enemy(2), enemy(1)}));
  const std::string first = t.dumpOf(std::string(v().form) + "." + enemy(0));
  const std::string glyph = first.substr(first.find(" caption="), first.find(" visible=") - first.find(" caption="));
  for (int i = 1; i < 5; ++i) {
    const std::string d = t.dumpOf(std::string(v().form) + "." + enemy(i));
    EXPECT_NE(d.find(glyph + " visible=0"), std::string::npos) << d;
    EXPECT_NE(d.find(std::string(v().across) + "=" + std::to_string(lane(i))), std::string::npos) << d;
    EXPECT_NE(d.find(std::string(v().along) + "=" + std::to_string(v().entry)), std::string::npos) << d;
  }
}

TEST_P(ShooterRules, ThePromptBlinksAndTheShipKeysDoNothingInTheTitle) {
  start(1000);
  auto t = play(press(100, v().backKey) + press(200, v().forwardKey));
  EXPECT_EQ(t.count(std::string(v().form) + ".Myship"), 0);
  EXPECT_EQ(t.times(set("txtEvent", "visible", "0")), (Times{500, 1000}));
  EXPECT_EQ(t.times(set("txtEvent", "visible", "1")), (Times{750}));
}

// ---- a game in play ----

TEST_P(ShooterRules, TheFirstEnemyTickComesASecondAfterTheStartAndTheStartDoesNotFire) {
  start(5000, true);
  auto t = play("0 down Z\n30 up Z\n");
  const std::int64_t begun = 10 + wav("start.wav");
  EXPECT_EQ(t.first(set("TimeEnemy", "enabled", "1")), begun);
  EXPECT_EQ(t.first(enemyAt(0, v().entry + v().step)), begun + 1000);
  EXPECT_EQ(t.first(enemyAt(0, v().entry + 2 * v().step)), begun + 2000);
  EXPECT_EQ(t.first(beamAcross(lane(2))), -1);
  EXPECT_EQ(t.first(set("Myship", "visible", "1")), begun);
  EXPECT_EQ(t.first(caption("txtInfo", v().playInfo)), begun);
}

TEST_P(ShooterRules, AnUnopposedGameCrashesOnTheEighthTickAndEndsAfterBothSounds) {
  start(20000, true);
  auto t = play("0 down Z\n30 up Z\n");
  const std::int64_t begun = 10 + wav("start.wav"), miss = wav("miss.wav"), over = wav("gameover.wav");
  const std::int64_t crash = t.first(title(v().crashTitle));
  EXPECT_EQ(crash, begun + 8000) << t.dump();
  const std::string c = std::to_string(crash) + " ", m = std::to_string(crash + miss) + " ";
  EXPECT_TRUE(t.inOrder(
      {c + enemyAt(2, v().shipAlong), c + caption("Myship", "N"), c + caption("Bgtxt", v().crashGlyph),
       c + title(v().crashTitle), c + "wav miss.wav wait " + std::to_string(miss), m + "mci \"pause midifile \"",
       m + caption("Bgtxt", "U"), m + title("Game Over"), m + "wav gameover.wav wait " + std::to_string(over)}));
  const int afterSound = t.indexOf(m + "wav gameover.wav wait " + std::to_string(over)) + 1;
  ASSERT_LT(afterSound, t.size());
  EXPECT_GE(std::stoll(t[afterSound]), crash + miss + over);
  EXPECT_EQ(t.first(title("Mayday!!")), -1);
  EXPECT_EQ(t.times("beep"), v().lossBeep ? Times{crash} : Times{});
  if (v().lossBeep) {
    EXPECT_TRUE(t.inOrder({c + enemyAt(2, v().shipAlong), c + "beep", c + caption("Myship", "N")}));
  }
  // The loop went on after gameOver: the enemies after the one that crashed wait a step nearer.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(alongOf(P::enemy(*scene, i)), v().waiting + (i > 2 ? v().step : 0)) << i;
  EXPECT_EQ(P::playFlag(*scene), 0);
}

// Game 1 crashes in lane 2 and leaves enemies 3 and 4 a step ahead. In game 2
// the ship steps beside enemy 3 on its own row between two ticks and is not
// hit; the enemy passes, unless a beam fired in its lane takes it first.
class SecondGame : public ShooterRules {
 protected:
  void SetUp() override {
    start(22000);
    k = ticksToShip(v().waiting + v().step);
    script = "0 down Z\n50 up Z\n9000 down Z\n9050 up Z\n" + press(9000 + 1000 * k + 500, v().forwardKey);
  }
  std::int64_t tick(int n) const { return 9000 + 1000 * n; }  // game 2 starts at 9000
  int k = 0;
  std::string script;
};

TEST_P(SecondGame, AnEnemyIsPastOnlyTwoStepsBeyondTheShipAndACrashIsTestedOnlyAtTheTick) {
  auto t = play(script);
  ASSERT_EQ(t.first(set("TimeEnemy", "enabled", "1"), 9000), 9000) << t.dump();
  EXPECT_EQ(t.first(enemyAt(3, v().waiting + 2 * v().step), 9000), tick(1));
  EXPECT_EQ(t.first(enemyAt(0, v().waiting + v().step), 9000), tick(1));
  EXPECT_EQ(t.first(enemyAt(3, v().shipAlong), 9000), tick(k));
  EXPECT_EQ(t.first(set("Myship", v().across, std::to_string(lane(3)))), tick(k) + 500);
  EXPECT_EQ(t.first(enemyAt(3, v().shipAlong + v().step), 9000), tick(k + 1));
  const std::int64_t past = t.first(enemyAt(3, v().shipAlong + 2 * v().step), 9000);
  EXPECT_EQ(past, tick(k + 2));
  EXPECT_EQ(t.first(title("Mayday!!")), past);
  EXPECT_EQ(t.first(caption("Bgtxt", "L")), past);
  Times beeps = t.times("beep");
  std::erase_if(beeps, [](std::int64_t b) { return b < 9000; });  // game 1's crash
  EXPECT_EQ(beeps, v().lossBeep ? Times{past} : Times{});
  if (v().lossBeep) {
    EXPECT_TRUE(t.inOrder({std::to_string(past) + " beep", std::to_string(past) + " " + title("Mayday!!")}));
  }
  EXPECT_EQ(t.first(title(v().crashTitle), 9000), -1);
  EXPECT_EQ(t.first(caption("Myship", "N"), 9000), -1);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(alongOf(P::enemy(*scene, i)), v().waiting + (i > 3 ? v().step : 0)) << i;
}

TEST_P(SecondGame, ABeamStillDestroysAnEnemyThatIsAlreadyPastIt) {
  const std::int64_t fire = tick(k + 1) + 505;
  auto t = play(script + press(fire, "Z"));
  EXPECT_EQ(t.first(enemyAt(3, v().shipAlong + v().step)), tick(k + 1));
  EXPECT_EQ(t.first(beamAcross(lane(3))), fire + 5);
  const std::int64_t hit = t.first(set(enemy(3), "visible", "0"));
  EXPECT_EQ(hit, fire + 95);  // the first beam tick
  EXPECT_EQ(t.first(set(enemy(3), v().across, "256")), hit);
  EXPECT_EQ(t.first(caption("txtScore", "100")), hit);
  // Lane 4 ends the game instead, a tick later.
  EXPECT_EQ(t.first(enemyAt(4, v().shipAlong + 2 * v().step)), t.first(title("Mayday!!")));
  EXPECT_EQ(t.first(enemyAt(3, v().shipAlong + 2 * v().step)), -1);
}

TEST_P(ShooterRules, HeldZFiresAgainAsSoonAsTheBeamIsGoneAndAHitSpeedsTheEnemiesUp) {
  start(8000);
  auto t = play("0 down Z\n50 repeat Z\n");
  const auto moves = t.values(std::string(v().form) + ".Beam", v().across);
  ASSERT_GE(moves.size(), 8u) << t.dump();
  EXPECT_EQ(moves[0], (TraceView::Value{50, std::to_string(lane(2))}));
  const std::int64_t lost = t.first(title("Mayday!!"));
  for (std::size_t i = 1; i < moves.size(); ++i) {
    EXPECT_EQ(moves[i].value, std::to_string(i % 2 ? v().parkAcross : lane(2))) << "beam move " << i;
    if (i % 2 == 0 && moves[i].at < lost) {
      EXPECT_LE(moves[i].at - moves[i - 1].at, 10) << "refire " << i;
    }
  }
  const std::int64_t hit = t.first(set(enemy(2), "visible", "0"));
  ASSERT_GT(hit, 0);
  EXPECT_EQ(t.first("wav hit.wav async 0"), hit);
  EXPECT_EQ(t.first(set("TimeEnemy", "interval", "995")), hit);
}

// The other axis's arrow keys first, then the ship's own.
TEST_P(ShooterRules, TheShipStepsOnEveryKeyDownOfItsAxisWithinTheFiveLanes) {
  start(400);
  std::string s = "0 down Z\n20 up Z\n";
  int at = 30;
  for (const char* key : idleKeys()) {
    s += std::to_string(at) + " down " + key + "\n" + std::to_string(at + 10) + " repeat " + key + "\n" +
         std::to_string(at + 20) + " up " + key + "\n";
    at += 30;
  }
  for (int i = 0; i < 3; ++i) s += "1" + std::to_string(i) + "0 " + (i ? "repeat " : "down ") + v().backKey + "\n";
  for (int i = 0; i < 5; ++i) s += "2" + std::to_string(i) + "0 " + (i ? "repeat " : "down ") + v().forwardKey + "\n";
  auto t = play(s);
  ASSERT_EQ(t.first(set("TimeEnemy", "enabled", "1")), 10);
  EXPECT_EQ(t.count(std::string(v().form) + ".Myship " + v().along), 0);
  EXPECT_EQ(t.valuesOnly(std::string(v().form) + ".Myship", v().across),
            (std::vector<std::string>{"32", "0", "32", "64", "96", "128"}));
  EXPECT_EQ(t.values(std::string(v().form) + ".Myship", v().across).at(0).at, 100) << "the other axis moved it";
}

// One shot into an empty lane: the beam steps away from the ship every 100 ms
// and is parked on the tick that takes it out of the field.
TEST_P(ShooterRules, TheBeamsLastPlaceInsideTheFieldAndTheTickThatParksIt) {
  start(2000);
  run->at(20, [&] {  // the lane's enemy out of the way, as if destroyed
    P::enemy(*scene, 2).setVisible(false);
    moveTo(P::enemy(*scene, 2), 256, 0);
  });
  auto t = play("0 down Z\n30 up Z\n40 down Z\n45 up Z\n");
  const auto flight = t.values(std::string(v().form) + ".Beam", v().along);
  const int n = v().beamParkTick;
  ASSERT_EQ(flight.size(), std::size_t(n + 2)) << t.dump();
  EXPECT_EQ(flight[0], (TraceView::Value{40, std::to_string(v().shipAlong)}));
  for (int k = 1; k <= n; ++k)
    EXPECT_EQ(flight[std::size_t(k)], (TraceView::Value{10 + 100 * k, std::to_string(v().shipAlong - v().step * k)}));
  EXPECT_EQ(flight[std::size_t(n - 1)].value, std::to_string(v().beamLastInside));
  EXPECT_EQ(flight[std::size_t(n + 1)], (TraceView::Value{10 + 100 * n, std::to_string(v().parkAlong)}));
  EXPECT_EQ(t.first(beamAcross(v().parkAcross)), 10 + 100 * n);
  EXPECT_EQ(t.count("hit.wav"), 0);
}

// ---- the High blast ----

TEST_P(ShooterRules, TheBlastWhitensTheFieldWhileXIsHeldAndSpendsOneBlastPerKeyDown) {
  start(700);
  std::uint8_t rowAfterFirst = 0;
  int firstThrown = 0;  // may be where enemy 0 stood already: no trace line then
  run->at(510, [&] {
    rowAfterFirst = P::highRow(*scene);
    firstThrown = alongOf(P::enemy(*scene, 0));
  });
  auto t = play("0 down Z\n50 up Z\n500 down X\n520 repeat X\n540 repeat X\n560 repeat X\n580 repeat X\n600 up X\n");
  EXPECT_EQ(t.times("wav high.wav wait 0"), (Times{500, 520, 540}));
  EXPECT_EQ(t.times(set("Window", "back", "#FFFFFF")), (Times{500}));
  EXPECT_EQ(t.times(set("Window", "back", v().field)), (Times{600}));
  EXPECT_EQ(t.first(caption("txtScore", "500")), 500);
  EXPECT_EQ(t.first(caption("txtScore", "1500")), 540);
  EXPECT_EQ(t.first(caption("txtRest", "0")), 540);
  EXPECT_EQ(t.count("txtRest caption \"-"), 0);
  EXPECT_EQ(P::restCount(*scene), 0);
  // The first blast of the visit throws enemy 0 to row 0; each later enemy
  // and the next blast's enemy 0 take the row drawn after the one before.
  EXPECT_EQ(firstThrown, v().blastBase);
  for (int i = 1; i < 5; ++i) {
    auto thrown = t.values(std::string(v().form) + "." + enemy(i), v().along);
    ASSERT_FALSE(thrown.empty()) << i;
    EXPECT_EQ(thrown[0].at, 500);
    const int rows = (v().blastBase - std::stoi(thrown[0].value)) / v().step;
    EXPECT_TRUE(rows >= 1 && rows <= 6) << thrown[0].value;
  }
  ASSERT_GE(rowAfterFirst, 1);
  EXPECT_EQ(t.first(enemyAt(0, v().blastBase - v().step * rowAfterFirst), 520), 520);
}

// A tap of X during the blast's waiting "high.wav" that lifts the score to
// 20000: the kept key-up comes before the overdue enemy tick, so when that
// tick clears the game no stale "X held" is left to leave the scene by.
TEST_P(ShooterRules, AnXTapDuringTheBlastLeavesTheSceneOnItsClear) {
  start(4000);
  writeBytes(run->file("high.wav"), wavOfMs(850));
  writeBytes(run->file("clear.wav"), wavOfMs(300));
  run->at(1500, [&] { P::score(*scene) = 19500; });
  // The game starts at 10; its enemy tick falls due at 2010, inside the hold
  // of "high.wav" (1900 to 2750), and so does the X key-up.
  auto t = play("0 down Z\n20 up Z\n1900 down X\n1950 up X\n");
  EXPECT_TRUE(t.has("1900 wav high.wav wait 850")) << t.dump();
  const int keyUp = t.indexOf("2750 key " + std::string(v().form) + " up X");
  ASSERT_GE(keyUp, 0) << t.dump();
  EXPECT_GT(t.indexOf("2750 " + title(v().clearTitle)), keyUp);
  EXPECT_EQ(t.count("unload " + std::string(v().form)), 0);
}

// Where the blast leaves a destroyed enemy hidden, only an enemy tick that
// picks its lane brings it back, at the entry.
TEST_P(ShooterRules, TheBlastShowsDestroyedEnemiesAgainOnlyWhereTheSceneSaysSo) {
  start(12000);
  auto t = play("0 down Z\n50 repeat Z\n1600 up Z\n2000 down X\n2010 up X\n");
  const std::int64_t hit = t.first(set(enemy(2), "visible", "0"));
  ASSERT_GT(hit, 0);
  ASSERT_LT(hit, 2000);
  auto thrown = t.values(std::string(v().form) + "." + enemy(2), v().along);
  EXPECT_TRUE(std::any_of(thrown.begin(), thrown.end(), [](auto& m) { return m.at == 2000; }));
  const std::int64_t shown = t.first(set(enemy(2), "visible", "1"), hit);
  ASSERT_GT(shown, 0) << t.dump();
  EXPECT_EQ(t.first(set(enemy(2), v().across, std::to_string(lane(2))), hit) == 2000, v().blastRevives);
  if (v().blastRevives) {
    EXPECT_EQ(shown, 2000);
  } else {
    EXPECT_GT(shown, 2000);
    EXPECT_TRUE(t.has(std::to_string(shown) + " " + enemyAt(2, v().entry))) << shown;
    auto steps = t.values(std::string(v().form) + "." + enemy(0), v().along);
    EXPECT_TRUE(std::any_of(steps.begin(), steps.end(), [&](auto& m) { return m.at == shown; })) << "an enemy tick";
  }
}

TEST_P(ShooterRules, EachHitShortensTheEnemyTickBy5msButNeverBelow250) {
  start(4000);
  run->at(60, [&] { P::enemyTimer(*scene).setInterval(255); });
  auto inLane = [&] {  // an enemy a step into the ship's lane, for the held beam
    moveTo(P::enemy(*scene, 2), lane(2), v().entry + v().step);
    P::enemy(*scene, 2).setVisible(true);
  };
  run->at(1000, inLane);
  run->at(1600, inLane);
  auto t = play("0 down Z\n50 repeat Z\n");
  EXPECT_GE(t.times("wav hit.wav async 0").size(), 3u) << t.dump();
  auto intervals = t.valuesOnly(std::string(v().form) + ".TimeEnemy", "interval");
  ASSERT_GE(intervals.size(), 2u);
  EXPECT_EQ(intervals[0], "255");
  EXPECT_EQ(intervals[1], "250");
  for (std::size_t i = 2; i < intervals.size(); ++i) EXPECT_EQ(intervals[i], "1000") << "only a game end sets it";
}

// ---- the clear ----

// The other games' flags hold a value that is not "cleared", the best scores
// numbers of their own: the clear sets the scene's own flag and nothing else.
TEST_P(ShooterRules, TwentyThousandWithNoBlastSpentIsPerfectAndSetsOnlyTheScenesFlagAtUnload) {
  const std::string own = v().perfectRecord;
  std::string before = "010001000100010001000100" "39300000" "e1100000";
  before.replace(own.find("ffff"), 4, "0000");
  std::string after = before;
  after.replace(own.find("ffff"), 4, "ffff");
  start(4000, false, bytesOfHex(before));
  run->at(100, [&] { P::score(*scene) = 19900; });
  auto t = play("0 down Z\n50 repeat Z\n1600 up Z\n3000 down X\n3050 up X\n");
  const std::int64_t reached = t.first(caption("txtScore", "20000"));
  ASSERT_GT(reached, 0) << t.dump();
  const std::int64_t clear = t.first(title("Perfect!!!"));
  EXPECT_GT(clear, reached) << "the clear waits for the enemy tick";
  // The clear comes at an enemy tick: enemy 0 steps, then goes to its waiting place.
  std::vector<int> atClear;
  for (auto& m : t.values(std::string(v().form) + "." + enemy(0), v().along))
    if (m.at == clear) atClear.push_back(std::stoi(m.value));
  ASSERT_EQ(atClear.size(), 2u) << t.dump();
  EXPECT_EQ(atClear[1], v().waiting);
  EXPECT_EQ((atClear[0] - v().entry) % v().step, 0);
  EXPECT_GT((atClear[0] - v().entry) / v().step, 0);
  for (const std::string& line : {std::string("mci \"pause midifile \""), caption("txtScore", "30000"),
                                  caption("txtHisc", "30000"), caption("Myship", "J"), caption("Bgtxt", "P"),
                                  std::string("wav clear.wav wait 0")})
    EXPECT_EQ(t.first(line), clear) << line;
  EXPECT_EQ(t.first(title(v().clearTitle)), -1);
  EXPECT_EQ(t.grep(" write Qspe.dat "), (std::vector<std::string>{"3000 write Qspe.dat " + after}));
  EXPECT_EQ(readBytes(run->file("Qspe.dat")), bytesOfHex(after));
}

struct Clear {
  std::int64_t at;       // when the score is set
  int score;             // to this
  std::int64_t target;   // when an enemy is put a step before the ship, for the held beam
  const char* script;
  int reached;           // the score shown next
  int final;             // and after the clear
};

TEST_P(ShooterRules, AScorePast20000BetweenTicksOrABlastSpentIsAnOrdinaryClear) {
  const Clear cases[] = {
      {1100, 20000, 1100, "0 down Z\n50 repeat Z\n1600 up Z\n3500 down X\n", 20100, 30100},  // 20100 + 9000 + 1000
      {1100, 19400, 1210, "0 down Z\n50 repeat Z\n1200 down X\n1210 up X\n", 19900, 27000},  // 20000 + 6000 + 1000
  };
  for (const Clear& c : cases) {
    SCOPED_TRACE(c.final);
    start(9000);
    run->at(c.at, [&] { P::score(*scene) = c.score; });
    run->at(c.target, [&] {
      moveTo(P::enemy(*scene, 2), lane(2), v().shipAlong - v().step);
      P::enemy(*scene, 2).setVisible(true);
    });
    auto t = play(c.script);
    const std::int64_t reached = t.first(caption("txtScore", std::to_string(c.reached)));
    const std::int64_t clear = t.first(title(v().clearTitle));
    EXPECT_GT(reached, c.at);
    EXPECT_GT(clear, reached) << t.dump();
    EXPECT_EQ(t.first(caption("txtScore", std::to_string(c.final))), clear);
    EXPECT_EQ(t.first(title("Perfect!!!")), -1);
    EXPECT_EQ(t.first(caption("Myship", "J")), -1);
    EXPECT_EQ(t.count("write Qspe.dat ffff"), 0);
  }
}

TEST_P(ShooterRules, ALostGameStillClearsInTheSameTick) {
  start(10000);
  run->at(7500, [&] { P::score(*scene) = 20000; });
  auto t = play("0 down Z\n30 up Z\n");
  ASSERT_EQ(t.first(title(v().crashTitle)), 8010) << t.dump();
  EXPECT_TRUE(t.inOrder({"8010 " + title("Game Over"), "8010 " + title("Perfect!!!")}));
}

TEST_P(ShooterRules, APerfectGameGivesTheNextGameTheSmilingShipUntilTheSceneIsLeft) {
  start(kNever);
  // Game 2 starts at 3000 from the waiting places and is lost at `lost`.
  const std::int64_t lost = 3000 + 1000 * ticksToShip(v().waiting), back = lost + 600;
  run->at(100, [&] { P::score(*scene) = 19900; });
  run->at(back, [&] { run->rt().show(*scene); });
  auto t = play("0 down Z\n50 repeat Z\n1600 up Z\n" + press(3000, "Z") + "3100 dump\n" + press(lost + 300, "X") +
                press(back + 400, "Z") + std::to_string(back + 500) + " dump\n");
  ASSERT_GT(t.first(title("Perfect!!!")), 0) << t.dump();
  const std::string ship = std::string(v().form) + ".Myship", best = std::string(v().form) + ".txtHisc";
  EXPECT_NE(t.dumpOf(ship, 0).find("caption=\"J\""), std::string::npos) << t.dumpOf(ship, 0);
  EXPECT_NE(t.dumpOf(ship, 1).find("caption=\">\""), std::string::npos) << t.dumpOf(ship, 1);
  EXPECT_NE(t.dumpOf(best, 0).find("caption=\"30000\""), std::string::npos);
  EXPECT_NE(t.dumpOf(best, 1).find("caption=\"10000\""), std::string::npos);
  EXPECT_TRUE(
      t.has(std::to_string(back) + " set " + v().form + " caption " + inQuotes(std::string("★") + v().caption)));
  EXPECT_EQ(P::hiScore(*scene), 10000);
}

// ---- the title keys, the music and the beam left across games ----

TEST_P(ShooterRules, ZAndXHeldTogetherStartAGameAndLeaveInTheSamePoll) {
  start(kNever, true);
  auto t = play("0 down Z\n0 down X\n1000 quit\n");
  const std::int64_t st = wav("start.wav"), end = wav("end.wav");
  EXPECT_TRUE(t.inOrder({"10 wav start.wav wait " + std::to_string(st),
                         std::to_string(10 + st) + " " + set("TimeEnemy", "enabled", "1"),
                         std::to_string(10 + st) + " wav end.wav wait " + std::to_string(end),
                         std::to_string(10 + st + end) + " unload " + v().form}));
  EXPECT_EQ(t.first(beamAcross(lane(2))), -1);
}

TEST_P(ShooterRules, TheMusicFollowsTheTitleThePlayAndTheEnd) {
  start(12000);
  auto t = play("0 down Z\n30 up Z\n10000 down X\n");
  const std::string form = v().form;
  EXPECT_TRUE(t.inOrder({"load " + form, "mci \"open <dir>/title.mid type sequencer alias midifile\"",
                         "activate " + form, "mci \"play midifile\"", "wav start.wav wait 0",
                         "mci \"open <dir>/bgm.mid type sequencer alias midifile\"", "mci \"seek midifile to 1\"",
                         "mci \"play midifile\"", "wav miss.wav wait 0", "mci \"pause midifile \"",
                         "wav gameover.wav wait 0", "wav end.wav wait 0", "unload " + form,
                         "write Qspe.dat " + std::string(kZeroRecord), "mci \"stop midifile \"", "show FormMain"}));
}

// A game that ends while a beam flies leaves beamOn set: in the next game the
// parked beam flies on from its park until it leaves the field, and only then
// can the first shot go.
TEST_P(ShooterRules, ABeamParkedInFlightFliesOutBeforeTheNextGamesFirstShot) {
  const std::string held = "0 down Z\n50 repeat Z\n";  // held through the end: the next game starts at once
  start(20000);
  const std::int64_t end = play(held).first(title("Game Over"));
  ASSERT_GT(end, 0);
  start(end + 2000);
  auto t = play(held + std::to_string(end + 20) + " repeat Z\n");
  ASSERT_EQ(t.first(title("Game Over")), end);
  EXPECT_EQ(t.first(beamAcross(v().parkAcross), end), end);
  const std::int64_t start2 = end + 10;
  ASSERT_EQ(t.first(set("TimeEnemy", "enabled", "1"), end), start2);
  std::vector<TraceView::Value> flight;  // up to its park again
  for (auto& m : t.values(std::string(v().form) + ".Beam", v().along))
    if (m.at > start2 && (flight.empty() || flight.back().value != std::to_string(v().parkAlong))) flight.push_back(m);
  ASSERT_GE(flight.size(), 2u) << t.dump();
  const std::size_t last = flight.size() - 1;
  for (std::size_t i = 0; i < last; ++i)
    EXPECT_EQ(flight[i], (TraceView::Value{start2 + 100 * std::int64_t(i + 1),
                                           std::to_string(v().parkAlong - v().step * int(i + 1))}));
  EXPECT_EQ(flight[last], (TraceView::Value{flight[last - 1].at, std::to_string(v().parkAlong)})) << "parked again";
  EXPECT_EQ(t.first(beamAcross(lane(2)), start2), flight[last].at + 10);
}

// ---- random draws ----

TEST_P(ShooterRules, EnemyPicksAreTheRuntimesDrawsReseededAtTheStart) {
  start(9000);
  std::vector<int> picks;
  for (int k = 1; k <= 7; ++k) run->at(10 + 1000 * k + 1, [&] { picks.push_back(P::enemyPick(*scene)); });
  play("0 down Z\n30 up Z\n");
  Random r(clockSeed(1, 10));
  std::vector<int> expected;
  for (int k = 0; k < 7; ++k) expected.push_back(roundHalfEven(r.draw() * 4));
  EXPECT_EQ(picks, expected);
}

INSTANTIATE_TEST_SUITE_P(Shooters, ShooterRules, ::testing::ValuesIn(kShooters), nameOf);
INSTANTIATE_TEST_SUITE_P(Shooters, SecondGame, ::testing::ValuesIn(kShooters), nameOf);

// "ReBirth" goes with the rest of the title when a game starts, and is not
// shown again until the scene is loaded again.
TEST(FormQRB, AGameStartEmptiesBothLinesOfTheTitle) {
  HeadlessRun run({.until = 9000});
  run.add<FormQRB>();
  run.add<FormMain>();
  auto t = run.run("FormQRB", "0 down Z\n30 up Z\n");
  EXPECT_TRUE(t.inOrder({"10 set FormQRB.txtEvent caption \"\"", "10 set FormQRB.txtTitle caption \"\"",
                         "10 set FormQRB.txtReBirth caption \"\"", "10 set FormQRB.TimeEnemy enabled 1"}));
  EXPECT_EQ(t.first("set FormQRB.txtTitle caption \"Game Over\""), 8010);
  EXPECT_EQ(t.count("txtReBirth"), 1);
}

}  // namespace
}  // namespace qs::test
