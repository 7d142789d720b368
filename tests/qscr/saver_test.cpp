// The screen saver's entry step and its window, run headless.
#include <gtest/gtest.h>

#include "qscr/qscr_program.h"
#include "runtime/script.h"
#include "support/headless_run.h"

namespace qs::test {
namespace {

const std::string kSettings = "0 msgbox \"QorvexSaver Ver 1.00\" " + quoted(QScrProgram::settingsText());
const std::string kPassword = "0 msgbox \"QorvexSaver Ver 1.00\" \"パスワードには非対応\"";
const std::vector<std::string> kSaverStarts = {"0 load FormQScr"};

struct Saver {
  TempDir locks;
  HeadlessRun run;
  QScrProgram program;
  explicit Saver(HeadlessRun::Setup setup = {.until = 0})
      : run(setup), program(run.rt(), std::make_unique<FileInstanceLock>("QScr", locks.path())) {}
  // The trace of a run with these words on the command line.
  TraceView start(const std::vector<std::string>& words) {
    run.rt().run(program.entry(words));
    return run.trace();
  }
};

TEST(SaverEntry, TheFirstTwoCharactersOfTheCommandLineChooseWhatItDoes) {
  struct Case {
    std::vector<std::string> words;
    std::vector<std::string> trace;  // the whole trace, or its first line when the saver runs
  };
  const Case cases[] = {
      {{}, {kSettings, "0 end"}},
      {{"/C"}, {kSettings, "0 end"}},
      {{"/c:1234"}, {kSettings, "0 end"}},
      {{"/a"}, {kPassword, "0 end"}},
      {{"/A", "/S"}, {kPassword, "0 end"}},
      {{"/p", "5678"}, {"0 end"}},
      {{"/P"}, {"0 end"}},
      {{"/s"}, kSaverStarts},
      {{"/S"}, kSaverStarts},
      {{"-x"}, kSaverStarts},
      {{"/"}, kSaverStarts},
  };
  for (const Case& c : cases) {
    Saver saver;
    const auto& lines = saver.start(c.words).lines();
    std::string said = c.words.empty() ? "(none)" : c.words[0];
    if (c.trace == kSaverStarts) {
      ASSERT_FALSE(lines.empty()) << said;
      EXPECT_EQ(lines.front(), kSaverStarts.front()) << said;
      EXPECT_FALSE(saver.run.rt().programEnded()) << said;
    } else {
      EXPECT_EQ(lines, c.trace) << said;
    }
  }
}

TEST(SaverEntry, ASecondCopyEndsAtOnceWhateverItsCommandLine) {
  for (std::vector<std::string> words : {std::vector<std::string>{"/S"}, {"/C"}, {"/a"}, {}}) {
    Saver saver;
    FileInstanceLock running("QScr", saver.locks.path());
    ASSERT_TRUE(running.take());
    EXPECT_EQ(saver.start(words).lines(), std::vector<std::string>{"0 end"});
  }
}

TEST(SaverWindow, CoversTheScreenOnTopWithTheCursorHidden) {
  Saver saver({.until = 0, .screen = {1280, 1024}});
  saver.run.rt().setScript(parseScript("0 dump\n").events);
  const auto& lines = saver.start({"/S"}).lines();
  const std::vector<std::string> load(lines.begin(), lines.begin() + std::min<std::size_t>(lines.size(), 9));
  EXPECT_EQ(load, (std::vector<std::string>{"0 load FormQScr", "0 cursor 0", "0 topmost FormQScr",
                                            "0 set FormQScr.LabelName width 19200", "0 set FormQScr.Display left 15200",
                                            "0 set FormQScr.Display top 9360", "0 show FormQScr",
                                            "0 print FormQScr \">\"", "0 activate FormQScr"}));
  EXPECT_TRUE(saver.run.trace().has("0 dump FormQScr caption=\"QorvexSaver Ver 1.00\" visible=1 width=19200 height=15360 "
                            "back=#000000"))
      << saver.run.trace().dump();
  Form& f = saver.run.rt().form("FormQScr");
  EXPECT_TRUE(f.borderless());
  EXPECT_EQ(f.clientWidth(), 1280);
  EXPECT_EQ(f.clientHeight(), 1024);
}

TEST(SaverWindow, AKeyAClickOrAMoveAwayEndsItAtTheNextTickWithTheCursorBack) {
  struct Case {
    std::string script;
    std::int64_t end;  // -1: still running at 2000 ms
  };
  const Case cases[] = {
      {"1010 down 65\n", 1050},
      {"1010 repeat 36\n", 1050},
      {"1000 down Z\n", 1000},  // input at a tick comes before it
      {"1010 click\n", 1050},
      {"1010 move 5 5\n1210 move 6 5\n", 1250},
      {"1010 move 5 5\n1200 move 5 5\n1300 move 5 5\n", -1},  // the pointer arriving where it was
      {"1010 up Z\n", -1},
  };
  for (const Case& c : cases) {
    Saver saver({.until = 2000});
    auto& run = saver.run;
    run.rt().setScript(parseScript(c.script).events);
    const TraceView trace = saver.start({"/S"});
    if (c.end < 0) {
      EXPECT_FALSE(run.rt().programEnded()) << c.script << trace.dump();
      EXPECT_EQ(trace.count("cursor 1"), 0) << c.script;
      continue;
    }
    std::string t = std::to_string(c.end) + " ";
    int unload = trace.indexOf(t + "unload FormQScr");
    ASSERT_GE(unload, 0) << c.script << trace.dump();
    EXPECT_EQ(trace.indexOf(t + "cursor 1", unload), unload + 1) << c.script;
    EXPECT_EQ(trace.indexOf(t + "end", unload), unload + 2) << c.script;
  }
  Saver moved({.until = 2000});
  moved.run.rt().setScript(parseScript("1010 move 5 5\n").events);
  EXPECT_TRUE(moved.start({"/S"}).has("1010 mouse FormQScr move 5 5"));
}

}  // namespace
}  // namespace qs::test
