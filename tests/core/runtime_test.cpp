#include <gtest/gtest.h>

#include "runtime/fonts.h"
#include "runtime/keys.h"
#include "runtime/trace.h"
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
    addTimer(Fast, "Fast", 10, true, [this] {
      ++fastTicks;
      fastTimes.push_back(app().now());
      log("fast");
    });
    addTimer(Slow, "Slow", 25, false, [this] {
      slowTimes.push_back(app().now());
      log("slow");
      onSlow();
    });
  }
  void Form_KeyDown(int key) override {
    keyTimes.push_back(app().now());
    log("key " + keyName(key));
    if (key == vbKeyZ) Slow.setEnabled(true);
    if (key == vbKeyX) Slow.setInterval(Slow.interval() == 25 ? 40 : 25);
  }
  void log(const std::string& what) { events.push_back(std::to_string(app().now()) + " " + what); }
  std::function<void()> onSlow = [] {};
  Label Text;
  Timer Fast, Slow;
  int fastTicks = 0;
  std::vector<std::int64_t> fastTimes, slowTimes, keyTimes;
  std::vector<std::string> events;  // "T what", in the order handled
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
