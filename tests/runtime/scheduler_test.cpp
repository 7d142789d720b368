#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "runtime/keys.h"
#include "runtime/options.h"
#include "runtime/program.h"
#include "runtime/random.h"
#include "runtime/script.h"
#include "runtime/trace.h"
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
      log("fast");
    });
    addTimer(Slow, "Slow", 25, false, [this] {
      slowTimes.push_back(app().now());
      log("slow");
      onSlow();
    });
  }
  void Form_KeyDown(int key) override {
    log("key " + keyName(key));
    if (key == vbKeyZ) Slow.setEnabled(true);
    if (key == vbKeyX) Slow.setInterval(Slow.interval() == 25 ? 40 : 25);
  }
  void log(const std::string& what) { events.push_back(std::to_string(app().now()) + " " + what); }
  std::function<void()> onSlow = [] {};
  Timer Fast, Slow;
  int fastTicks = 0;
  std::vector<std::int64_t> slowTimes;
  std::vector<std::string> events;  // "T what", in the order handled
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
  EXPECT_EQ(f.events, (std::vector<std::string>{"10 fast", "20 key Left", "20 fast", "30 fast"}));
}

TEST(Scheduler, AfterAWaitingSoundTheKeptInputComesFirstThenEachOverdueTimerOnce) {
  HeadlessRun run({.until = 140});
  auto& f = run.add<Clocks>();
  bool held = false;
  f.onSlow = [&] {  // the first tick waits as a 100 ms waiting sound does
    if (!held) f.app().hold(100);
    held = true;
  };
  run.run("Clocks", "0 down Z\n30 down Left\n60 down Right\n125 down Up\n");
  // Slow fires at 25 and holds until 125. The keys kept since 30 and 60 come
  // first, in order, with the one stamped 125; then Fast (fell due at 30..120)
  // and Slow (due 50) fire once each, Fast first as it fell due first; both
  // keep their periods from there.
  std::vector<std::string> from125(std::find(f.events.begin(), f.events.end(), "125 key Left"), f.events.end());
  EXPECT_EQ(from125, (std::vector<std::string>{"125 key Left", "125 key Right", "125 key Up", "125 fast", "125 slow",
                                               "135 fast"}))
      << ::testing::PrintToString(f.events);
  EXPECT_EQ(f.slowTimes, (std::vector<std::int64_t>{25, 125}));
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

TEST(Trace, TheProgramDirectoryIsHiddenOnlyWhereItIsThePath) {
  struct Case {
    const char* dir;
    const char* command;
    const char* traced;
  } cases[] = {
      {"d", "open d/title.mid type sequencer alias midifile", "open <dir>/title.mid type sequencer alias midifile"},
      {"d", "stop midifile", "stop midifile"},
      {"d", "close d", "close <dir>"},
      {"d", "open \"d/a b.mid\" alias d", "open \"<dir>/a b.mid\" alias <dir>"},
      {"d", "open dd/x.mid", "open dd/x.mid"},
      {"/srv/qs", "open /srv/qs/bgm.mid alias midifile", "open <dir>/bgm.mid alias midifile"},
      {"/srv/qs", "open /srv/qs2/bgm.mid", "open /srv/qs2/bgm.mid"},
      {"/srv/qs", "open /x/srv/qs/bgm.mid", "open /x/srv/qs/bgm.mid"},
      {"/srv/qs", "/srv/qs/a /srv/qs/b", "<dir>/a <dir>/b"},
      {"/", "open //title.mid", "open <dir>/title.mid"},
  };
  for (const auto& c : cases) {
    Trace trace([] { return std::int64_t{0}; });
    trace.setProgramDir(c.dir);
    EXPECT_EQ(trace.hideDir(c.command), c.traced) << "dir " << c.dir;
  }
}

// A program whose entry step does what the first word of its command line says.
class Words : public Program {
 public:
  explicit Words(Runtime& rt) : rt_(rt) {}
  std::optional<std::string> entry(const std::vector<std::string>& words) override {
    if (words.empty()) return std::nullopt;
    if (words[0] == "box") {
      rt_.msgBox("Say \"hi\"", "One line");
      return std::nullopt;
    }
    return words[0];
  }

 private:
  Runtime& rt_;
};

TEST(EntryStep, EndsAtOnceShowsAMessageBoxOrChoosesTheStartForm) {
  struct Case {
    std::vector<std::string> words;
    std::vector<std::string> trace;
  };
  const Case cases[] = {
      {{}, {"0 end"}},
      {{"box", "Clocks"}, {"0 msgbox \"Say \\\"hi\\\"\" \"One line\"", "0 end"}},
      {{"Clocks"}, {"0 load Clocks", "0 show Clocks", "0 activate Clocks"}},
  };
  for (const Case& c : cases) {
    HeadlessRun run({.until = 0});
    run.add<Clocks>();
    Words program(run.rt());
    run.rt().run(program.entry(c.words));
    EXPECT_EQ(run.trace().lines(), c.trace) << run.trace().dump();
  }
}

TEST(EntryStep, WordsThatAreNotOptionsReachTheProgram) {
  Options o = parseOptions({"--headless", "/c:1234", "--until", "50", "5678", "--screen", "1280x1024"});
  EXPECT_EQ(o.arguments, (std::vector<std::string>{"/c:1234", "5678"}));
  EXPECT_EQ(o.until, 50);
  ASSERT_TRUE(o.screen);
  EXPECT_EQ(o.screen->width, 1280);
  EXPECT_EQ(o.screen->height, 1024);
}

}  // namespace
}  // namespace qs::test
