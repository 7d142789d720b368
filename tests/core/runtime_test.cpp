#include <gtest/gtest.h>

#include "runtime/fonts.h"
#include "runtime/keys.h"
#include "runtime/options.h"
#include "runtime/program.h"
#include "support/scene_harness.h"

namespace qs::test {
namespace {

// A form with two timers that log their ticks, and keys that log.
class Clocks : public Form {
 public:
  Clocks() : Form("Clocks", Units::Pixels) {}
  void design() override {
    setClientSize(100, 100);
    place(Text, "Text", {"a", gothic(9), Align::Left, colors::black, {0, 0, 50, 20}});
    addTimer(Fast, "Fast", 10, true, [this] { ++fastTicks; fastTimes.push_back(app().now()); });
    addTimer(Slow, "Slow", 25, false, [this] { slowTimes.push_back(app().now()); onSlow(); });
  }
  void Form_KeyDown(int key) override {
    keyTimes.push_back(app().now());
    if (key == vbKeyZ) Slow.setEnabled(true);
    if (key == vbKeyX) Slow.setInterval(Slow.interval() == 25 ? 40 : 25);
  }
  std::function<void()> onSlow = [] {};
  Label Text;
  Timer Fast, Slow;
  int fastTicks = 0;
  std::vector<std::int64_t> fastTimes, slowTimes, keyTimes;
};

TEST(Scheduler, TimersTickOnTheirPeriodAndRestartWhenChanged) {
  HeadlessRun run({.until = 100});
  auto& f = run.add<Clocks>();
  run.run("Clocks", "30 down Z\n62 down X\n");
  EXPECT_EQ(f.fastTicks, 10);
  // Enabled at 30 -> 55, 80; interval set at 62 restarts the period -> 102 is past the end.
  // (X at 62 changes 25 -> 40: the period restarts from 62.)
  EXPECT_EQ(f.slowTimes, (std::vector<std::int64_t>{55}));
  EXPECT_TRUE(run.has("30 set Clocks.Slow enabled 1"));
  EXPECT_TRUE(run.has("62 set Clocks.Slow interval 40"));
}

TEST(Scheduler, InputAtATimeComesBeforeTheTimersDueThenAndAfterThoseDueBefore) {
  HeadlessRun run({.until = 30});
  auto& f = run.add<Clocks>();
  run.run("Clocks", "20 down Left\n");
  int key = run.indexOf("20 key Clocks down Left");
  ASSERT_GE(key, 0) << run.dump();
  // The 10 ms tick is traced by nothing, so compare the recorded times instead.
  EXPECT_EQ(f.keyTimes, (std::vector<std::int64_t>{20}));
  EXPECT_EQ(f.fastTimes, (std::vector<std::int64_t>{10, 20, 30}));
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
    EXPECT_EQ(run.lines(), c.trace) << run.dump();
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
