#include <gtest/gtest.h>

#include <array>
#include <map>

#include "host/options.h"
#include "runtime/keys.h"
#include "runtime/program.h"
#include "runtime/random.h"
#include "runtime/script.h"
#include "runtime/trace.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

using Log = std::vector<std::string>;
using Periods = std::vector<std::pair<std::string, int>>;  // each timer's name and interval

// Timers made in the order given, each logging "T NAME" when it ticks; keys
// log "T key K" and change the state that P and R poll. H waits 100 ms on a
// sound at its first tick; R restarts itself at every tick.
struct Clocks : Form {
  Clocks(Periods periods, Log& log) : Form("Clocks", Units::Pixels), periods(std::move(periods)), log(log) {}
  void design() override {
    for (std::size_t i = 0; i < periods.size(); ++i) {
      const std::string name = periods[i].first;
      addTimer(timers[i], name, periods[i].second, true, [this, name, i] {
        say(name);
        if (name == "H" && !held) held = true, app().hold(100);
        if (name == "R") timers[i].setInterval(10);
      });
      if (name == "P" || name == "R") timers[i].setPoll([this] { return std::optional<std::uint64_t>(state); });
    }
  }
  void Form_KeyDown(int key) override { say("key " + keyName(key)), ++state; }
  void say(const std::string& what) { log.push_back(std::to_string(app().now()) + " " + what); }
  Periods periods;
  std::array<Timer, 3> timers;
  Log& log;
  bool held = false;
  std::uint64_t state = 0;
};

struct Order {
  const char* name;
  Periods timers;
  int freeEvery;  // a timer of no form, made before the form's: 0 none
  std::string script;
  std::int64_t until;
  Log expected;
  std::string live{};  // input as a live window hands it out
};
class Scheduler : public ::testing::TestWithParam<Order> {};

TEST_P(Scheduler, FiresTimersAndDeliversInputInTheirOrder) {
  const Order& c = GetParam();
  Log log;
  HeadlessRun run({.until = c.until, .live = c.live});
  Timer free;
  auto say = [&] { log.push_back(std::to_string(run.rt().now()) + " W"); };
  if (c.freeEvery) free.attach(run.rt(), "W", c.freeEvery, true, say);
  run.rt().addForm(std::make_unique<Clocks>(c.timers, log));
  run.run("Clocks", c.script);
  EXPECT_EQ(log, c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Runtime, Scheduler,
    ::testing::Values(
        // Due at the same ms: in the order the timers were made.
        Order{"ByDueTimeThenOrderMade", {{"S", 25}, {"F", 10}}, 0, "", 50,
              {"10 F", "20 F", "25 S", "30 F", "40 F", "50 S", "50 F"}},
        Order{"ATimerOfNoFormInTheSameQueue", {{"F", 10}}, 15, "", 30, {"10 F", "15 W", "20 F", "30 W", "30 F"}},
        // Input stamped t: after the timers due before t, before those due at t.
        Order{"InputBeforeTheTimersDueThen", {{"F", 10}}, 0, "15 down Left\n20 down Right\n", 30,
              {"10 F", "15 key Left", "20 key Right", "20 F", "30 F"}},
        // H holds 25..125: the keys kept meanwhile come first, in order, with
        // the one stamped 125; then F (due 30) and H (due 50) once each, in
        // the order they fell due, keeping their periods from 125.
        Order{"AfterAWaitingSoundKeptInputThenEachOverdueTimerOnce", {{"H", 25}, {"F", 10}}, 0,
              "30 down Left\n60 down Right\n125 down Up\n", 150,
              {"10 F", "20 F", "25 H", "125 key Left", "125 key Right", "125 key Up", "125 F", "125 H", "135 F",
               "145 F", "150 H"}},
        // A poll ticks again only once its state has changed: at 20 the key
        // comes first and the tick due then sees it; at 50 likewise, after two
        // ticks passed quiet.
        Order{"AQuietPollWakesAtTheTickAfterAChange", {{"P", 10}}, 0, "20 down Z\n50 down Z\n", 80,
              {"10 P", "20 key Z", "20 P", "50 key Z", "50 P"}},
        Order{"ATickThatRestartsItsTimerIsNeverQuiet", {{"R", 10}}, 0, "", 40, {"10 R", "20 R", "30 R", "40 R"}},
        // Live input read after the ticks of its ms is stamped after them, as
        // its replay hands it out: after every tick of that ms.
        Order{"LiveInputReadAfterTheTicksOfItsMs", {{"S", 20}, {"F", 10}}, 0, "", 30,
              {"10 F", "20 S", "20 F", "21 key Left", "30 F"}, "20 down Left\n"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(Random, RoundingGoesToTheEvenNeighbourAndDrawsAreFair) {
  const std::pair<double, int> halves[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.4999, 3}, {3.5, 4}};
  for (auto [x, n] : halves) EXPECT_EQ(roundHalfEven(x), n) << x;
  EXPECT_EQ(dropFraction(8.999), 8);
  // Rounded draws of 4 x Rnd give 0 and 4 half the weight of 1..3.
  Random r(12345);
  std::map<int, int> rounded;
  for (int i = 0; i < 100000; ++i) ++rounded[roundHalfEven(r.draw() * 4)];
  ASSERT_EQ(rounded.size(), 5u);
  for (auto [v, count] : rounded) EXPECT_NEAR(count / 1e5, v == 0 || v == 4 ? 0.125 : 0.25, 0.008) << v;
  // The seed follows the run's seed and the clock.
  const double x = Random(clockSeed(7, 1000)).draw();
  EXPECT_EQ(x, Random(clockSeed(7, 1000)).draw());
  EXPECT_TRUE(x != Random(clockSeed(7, 1010)).draw() && x != Random(clockSeed(8, 1000)).draw());
}

TEST(Script, ParsesEveryLineKindAndNamesTheLineOfAnError) {
  Script s = parseScript(
      "seed 42  # comment\n\n0 down Z\n250 up Left\n260 repeat 65\n3000 close FormQB\n"
      "4000 move 100 200\n4100 click\n5000 dump\n5000 shot FormMain menu.png\n9000 quit\n");
  EXPECT_EQ(s.seed, 42u);
  ASSERT_EQ(s.events.size(), 9u);
  for (auto& e : s.events) EXPECT_EQ(parseScript(scriptLine(e)).events.at(0).kind, e.kind) << scriptLine(e);
  // clang-format off
  const std::pair<const char*, int> errors[] = {{"0 down Z\n5 down Q\n", 2}, {"0 down Z\n\n#x\n5 fly\n", 4},
      {"10 down Z\n5 up Z\n", 2}, {"x down Z\n", 1}, {"5 move 1\n", 1}, {"5 down 300\n", 1}};
  // clang-format on
  for (auto [text, line] : errors) {
    int said = 0;
    try {
      parseScript(text);
    } catch (const ScriptError& e) { said = e.line; }
    EXPECT_EQ(said, line) << text;
  }
}

TEST(Trace, TheProgramDirectoryIsHiddenOnlyWhereItIsThePath) {
  // clang-format off
  const char* cases[][3] = {
      {"d", "open \"d/a b.mid\" alias d", "open \"<dir>/a b.mid\" alias <dir>"},
      {"d", "open dd/x.mid", "open dd/x.mid"}, {"/srv/qs", "/srv/qs/a /srv/qs/b", "<dir>/a <dir>/b"},
      {"/srv/qs", "open /srv/qs2/bgm.mid", "open /srv/qs2/bgm.mid"}, {"/", "open //title.mid", "open <dir>/title.mid"},
      {"/srv/qs", "open /x/srv/qs/bgm.mid", "open /x/srv/qs/bgm.mid"}};
  // clang-format on
  Trace trace([] { return std::int64_t{0}; });
  for (const auto& [dir, command, traced] : cases) {
    trace.setProgramDir(dir);
    EXPECT_EQ(trace.hideDir(command), traced) << dir;
  }
}

TEST(EntryStep, WordsThatAreNotOptionsReachTheProgram) {
  Options o = parseOptions({"--headless", "/c:1234", "--until", "50", "5678", "--screen", "1280x1024"});
  EXPECT_EQ(o.arguments, (std::vector<std::string>{"/c:1234", "5678"}));
  EXPECT_EQ(o.until, 50);
  EXPECT_TRUE(o.screen && o.screen->width == 1280 && o.screen->height == 1024);
}

}  // namespace
}  // namespace qs::test
