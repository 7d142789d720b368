#include <gtest/gtest.h>

#include <map>

#include "runtime/keys.h"
#include "runtime/random.h"
#include "runtime/script.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

// A form with two timers that log their ticks, and keys that log.
class Clocks : public Form {
 public:
  Clocks() : Form("Clocks", Units::Pixels) {}
  void design() override {
    setClientSize(100, 100);
    addTimer(Fast, "Fast", 10, true, [this] {
      ++fastTicks;
      fastTimes.push_back(app().now());
      log.push_back("fast " + std::to_string(app().now()));
    });
    addTimer(Slow, "Slow", 25, false, [this] {
      slowTimes.push_back(app().now());
      onSlow();
    });
  }
  void Form_KeyDown(int key) override {
    keyTimes.push_back(app().now());
    log.push_back("key " + std::to_string(app().now()));
    if (key == vbKeyZ) Slow.setEnabled(true);
    if (key == vbKeyX) Slow.setInterval(Slow.interval() == 25 ? 40 : 25);
  }
  std::function<void()> onSlow = [] {};
  Timer Fast, Slow;
  int fastTicks = 0;
  std::vector<std::int64_t> fastTimes, slowTimes, keyTimes;
  std::vector<std::string> log;
};

TEST(Scheduler, TimersTickOnTheirPeriodAndRestartWhenChanged) {
  HeadlessRun run({.until = 100});
  auto& f = run.add<Clocks>();
  auto t = run.run("Clocks", "30 down Z\n62 down X\n");
  EXPECT_EQ(f.fastTicks, 10);
  // Enabled at 30: due at 55 and 80, but X at 62 sets the interval 25 -> 40
  // and restarts the period from 62: 102 is past the end.
  EXPECT_EQ(f.slowTimes, (std::vector<std::int64_t>{55}));
  EXPECT_TRUE(t.inOrder({"30 set Clocks.Slow enabled 1", "62 set Clocks.Slow interval 40"}));
}

TEST(Scheduler, InputAtATimeComesBeforeTheTimersDueThenAndAfterThoseDueBefore) {
  HeadlessRun run({.until = 30});
  auto& f = run.add<Clocks>();
  run.run("Clocks", "20 down Left\n");
  EXPECT_EQ(f.log, (std::vector<std::string>{"fast 10", "key 20", "fast 20", "fast 30"}));
}

TEST(Scheduler, AWaitingSoundHoldsTimersAndInputThenTimersCatchUpOnceBeforeTheInput) {
  HeadlessRun run({.until = 200});
  auto& f = run.add<Clocks>();
  bool held = false;
  f.onSlow = [&] {  // the first tick waits as a 100 ms waiting sound does
    if (!held) f.app().hold(100);
    held = true;
  };
  run.run("Clocks", "0 down Z\n30 down Left\n");
  // Slow fires at 25 and holds until 125. Fast fell due at 30..120: it fires once at 125,
  // then the key kept since 30 comes, then Fast keeps its period from 125.
  ASSERT_GE(f.keyTimes.size(), 2u);
  EXPECT_EQ(f.keyTimes[1], 125);
  // The catch-up tick of Slow (due 50) also fires once at 125.
  EXPECT_EQ(f.slowTimes, (std::vector<std::int64_t>{25, 125, 150, 175, 200}));
  auto at125 = std::count(f.fastTimes.begin(), f.fastTimes.end(), 125);
  EXPECT_EQ(at125, 1);
  EXPECT_NE(std::find(f.fastTimes.begin(), f.fastTimes.end(), 135), f.fastTimes.end());
  EXPECT_EQ(std::find(f.fastTimes.begin(), f.fastTimes.end(), 50), f.fastTimes.end());
}

TEST(Random, RoundingGoesToTheEvenNeighbourAndDroppingCutsTheFraction) {
  const std::pair<double, int> rounded[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.4999, 3}, {3.5, 4}};
  for (auto [x, n] : rounded) EXPECT_EQ(roundHalfEven(x), n) << x;
  EXPECT_EQ(dropFraction(8.999), 8);
  EXPECT_EQ(dropFraction(0.0), 0);
}

// Rounded draws of n x Rnd give 0 and n half the weight of the values between;
// dropped fractions give 0..n-1 evenly.
TEST(Random, RoundedDrawsGiveTheEndValuesHalfWeightAndDroppedOnesAreUniform) {
  Random r(12345);
  std::map<int, int> rounded, dropped;
  const int n = 200000;
  for (int i = 0; i < n; ++i) {
    double d = r.draw();
    ASSERT_GE(d, 0.0);
    ASSERT_LT(d, 1.0);
    ++rounded[roundHalfEven(d * 4)];
    ++dropped[dropFraction(d * 9)];
  }
  EXPECT_EQ(rounded.size(), 5u);
  for (auto [v, c] : rounded) EXPECT_NEAR(c / double(n), v == 0 || v == 4 ? 0.125 : 0.25, 0.006) << v;
  EXPECT_EQ(dropped.size(), 9u);
  for (auto [v, c] : dropped) EXPECT_NEAR(c / double(n), 1.0 / 9, 0.005) << v;
}

TEST(Random, RandomizeTakesItsSeedFromTheRunSeedAndTheClock) {
  Random a(clockSeed(7, 1000)), b(clockSeed(7, 1000)), c(clockSeed(7, 1010)), d(clockSeed(8, 1000));
  double x = a.draw();
  EXPECT_EQ(x, b.draw());
  EXPECT_NE(x, c.draw());
  EXPECT_NE(x, d.draw());
}

TEST(Script, ParsesEveryLineKindAndNamesTheLineOfAnError) {
  Script s = parseScript("seed 42  # comment\n\n0 down Z\n250 up Left\n260 repeat 65\n3000 close FormQB\n"
                         "4000 move 100 200\n4100 click\n5000 dump\n5000 shot FormMain menu.png\n9000 quit\n");
  EXPECT_EQ(s.seed, 42u);
  ASSERT_EQ(s.events.size(), 9u);
  for (auto& e : s.events) EXPECT_EQ(parseScript(scriptLine(e)).events.at(0).kind, e.kind) << scriptLine(e);
  EXPECT_EQ(scriptLine(s.events[4]), "4000 move 100 200");
  const std::pair<const char*, int> bad[] = {{"0 down Z\n5 down Q\n", 2}, {"0 down Z\n\n#x\n5 fly\n", 4},
                                             {"10 down Z\n5 up Z\n", 2},  {"x down Z\n", 1},
                                             {"5 move 1\n", 1},           {"seed\n", 1},
                                             {"5 down 300\n", 1}};
  for (auto [text, line] : bad) {
    try {
      parseScript(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const ScriptError& e) {
      EXPECT_EQ(e.line, line) << text;
    }
  }
}

}  // namespace
}  // namespace qs::test
