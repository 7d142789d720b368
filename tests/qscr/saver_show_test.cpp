// The saver run headless: its window; its show (the tape drive
// at start, a character every 20 s, its description typed a letter every
// 100 ms and wrapped at the box's right edge); and the saver inside a
// screen-saver host's window.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "qscr/form_qscr.h"
#include "qscr/host_window.h"
#include "qscr/qscr_program.h"
#include "runtime/random.h"
#include "runtime/script.h"
#include "support/fixed_measurer.h"
#include "support/files.h"
#include "support/headless_run.h"
#include "support/trace_view.h"

namespace qs::test {
namespace {

// The saver's program in a run of its own, with its own lock folder; text is
// measured at fixed widths.
struct Saver {
  TempDir locks;
  FixedMeasurer measurer;
  HeadlessRun run;
  QScrProgram program;
  explicit Saver(HeadlessRun::Setup setup = {.until = 0}, std::string hostEnv = {})
      : run(withPainter(setup, measurer)),
        program(run.rt(), std::make_unique<FileInstanceLock>("QScr", locks.path()), std::move(hostEnv)) {}
  // The trace of a run with these words on the command line.
  TraceView start(const std::vector<std::string>& words, const std::string& script = "") {
    run.rt().setScript(parseScript(script).events);
    run.rt().run(program.entry(words));
    return run.trace();
  }
  Form& form() { return run.rt().form("FormQScr"); }
  Box& display() {
    for (Element* e : form().children())
      if (e->name() == "Display") return static_cast<Box&>(*e);
    throw std::logic_error("no Display");
  }

 private:
  static HeadlessRun::Setup withPainter(HeadlessRun::Setup s, FormPainter& p) {
    s.painter = &p;
    return s;
  }
};

// Lines of the trace at time t, without the time.
std::vector<std::string> linesAt(const std::vector<std::string>& lines, std::int64_t t) {
  std::string stamp = std::to_string(t) + " ";
  std::vector<std::string> out;
  for (const std::string& l : lines)
    if (l.rfind(stamp, 0) == 0) out.push_back(l.substr(stamp.size()));
  return out;
}

std::vector<std::string> characters(const std::string& text) {
  std::vector<std::string> out;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) out.emplace_back();
    out.back() += c;
  }
  return out;
}

TEST(SaverShow, TheTapeDriveAtStartThenEveryTwentySecondsACharacterDrawnAtRandom) {
  constexpr int kChanges = 200;
  constexpr std::uint64_t kSeed = 7;
  Saver saver({.seed = kSeed, .until = kChanges * 20000});
  const auto& lines = saver.start({"/S"}).lines();
  const Font& face = saver.form().printFont();  // the tape drive and the characters are pictographs
  EXPECT_EQ(face.face, "Wingdings");
  EXPECT_EQ(face.size, 450);

  // The same draws as the saver's: reseeded from the clock at load (0 ms).
  Random random(clockSeed(kSeed, 0));
  std::array<int, 10> seen{};
  std::string caption = "QorvexBlastシリーズ　キャラクター紹介";
  for (int k = 1; k <= kChanges; ++k) {
    std::int64_t t = 20000LL * k;
    int index = roundHalfEven(random.draw() * 9);
    ++seen[static_cast<std::size_t>(index)];
    const SaverCharacter& c = kSaverCharacters[static_cast<std::size_t>(index)];
    std::vector<std::string> expected = {"cls FormQScr", "print FormQScr " + qs::quoted(c.glyph)};
    if (c.name != std::string_view(caption)) expected.push_back("set FormQScr.LabelName caption " + qs::quoted(c.name));  // only changes are traced
    expected.push_back("cls FormQScr.Display");
    ASSERT_EQ(linesAt(lines, t), expected) << "change " << k;
    caption = c.name;
  }
  for (int i = 0; i <= 9; ++i) EXPECT_GT(seen[static_cast<std::size_t>(i)], 0) << "character " << i;
  EXPECT_EQ(saver.run.trace().grep(" cls FormQScr").size(), static_cast<std::size_t>(kChanges) * 2);
}

// Each character is printed twice at its tick: an invisible trial in the
// box's background colour, then for real; the description then stays whole
// until the next change. With every character 10 px wide, the 200 px box
// holds 19 to a line: the 20th would end exactly on the edge and so starts
// the next line.
TEST(SaverShow, TheDescriptionIsTypedEvery100msAndWrapsOnlyAtTheBoxsRightEdge) {
  Saver saver({.until = 39999});
  const auto& lines = saver.start({"/S"}).lines();
  Box& display = saver.display();
  ASSERT_FALSE(display.printed().empty()) << saver.run.trace().dump();
  std::string caption = saver.run.trace().grep("20000 set FormQScr.LabelName caption").at(0);
  const SaverCharacter* shown = nullptr;
  for (const SaverCharacter& c : kSaverCharacters)
    if (caption.ends_with(qs::quoted(c.name))) shown = &c;
  ASSERT_NE(shown, nullptr) << caption;
  std::vector<std::string> text = characters(shown->description);
  std::int64_t last = 20000 + 100 * static_cast<std::int64_t>(text.size());
  for (std::int64_t t = 20000; t < 40000; t += 100) {
    std::vector<std::string> typed;
    for (const std::string& l : linesAt(lines, t))
      if (l.rfind("print FormQScr.Display ", 0) == 0 && l != "print FormQScr.Display \"\"") typed.push_back(l);
    std::size_t n = static_cast<std::size_t>((t - 20000) / 100);  // the n-th character, 1-based
    if (t > 20000 && t <= last) {
      std::string line = "print FormQScr.Display " + qs::quoted(text[n - 1]);
      EXPECT_EQ(typed, (std::vector<std::string>{line, line})) << t;
    } else {
      EXPECT_TRUE(typed.empty()) << t;
    }
  }
  std::string visibleText, trial;
  std::vector<const PrintedRun*> visible;
  for (const PrintedRun& r : display.printed()) {
    (r.fore == display.back() ? trial : visibleText) += r.text;
    if (r.fore != display.back()) visible.push_back(&r);
  }
  EXPECT_EQ(visibleText, shown->description);
  EXPECT_EQ(trial, shown->description);

  const int inner = display.width() / kTwipsPerPixel;
  ASSERT_EQ(inner, 200);
  ASSERT_GT(visible.size(), 40u);
  int x = 0, y = 0, wraps = 0;
  for (std::size_t i = 0; i < visible.size(); ++i) {
    if (x + FixedMeasurer::kCharWidth >= inner) {
      x = 0;
      y += FixedMeasurer::kLineHeight;
      ++wraps;
    }
    EXPECT_EQ(visible[i]->x, x) << i;
    EXPECT_EQ(visible[i]->y, y) << i;
    x += FixedMeasurer::kCharWidth;
  }
  EXPECT_EQ(visible[18]->y, 0);
  EXPECT_EQ(visible[19]->x, 0);
  EXPECT_EQ(visible[19]->y, FixedMeasurer::kLineHeight);
  EXPECT_EQ(saver.run.trace().grep(" print FormQScr.Display \"\"").size(), static_cast<std::size_t>(wraps));
}

TEST(SaverHost, TheHostsWindowComesFromTheCommandLineOrTheEnvironment) {
  struct Case {
    std::vector<std::string> words;
    std::string env;
    std::optional<HostWindow> window;  // nothing: no host
  };
  const Case cases[] = {
      {{"/S"}, "", std::nullopt},
      {{}, "", std::nullopt},
      {{"-root"}, "", HostWindow{true, 0}},
      {{"/S", "-root"}, "", HostWindow{true, 0}},
      {{"-window-id", "4194311"}, "", HostWindow{false, 4194311}},
      {{"-window-id", "0x400007"}, "", HostWindow{false, 0x400007}},
      {{}, "0x400007", HostWindow{false, 0x400007}},
      {{"-root"}, "0x400007", HostWindow{false, 0x400007}},
      {{"-root", "-window-id", "12"}, "0x400007", HostWindow{false, 12}},
      {{"--root"}, "", HostWindow{true, 0}},
      {{"--root", "--window-id", "0x600E22"}, "0x600E22", HostWindow{false, 0x600E22}},  // the settings' preview
  };
  for (const Case& c : cases) {
    std::string said = c.env;
    for (const std::string& w : c.words) said += " " + w;
    EXPECT_EQ(findHostWindow(c.words, c.env), c.window) << said;
  }
  for (auto words : {std::vector<std::string>{"-window-id"}, {"-window-id", "zero"}, {"-window-id", "0"},
                     {"-window-id", "-5"}, {"-window-id", "12x"}, {"-window-id", "99999999999999999999999"},
                     {"--window-id", "0x"}})
    EXPECT_THROW(findHostWindow(words, ""), std::invalid_argument) << words.back();
  EXPECT_THROW(findHostWindow({"-root"}, "window"), std::invalid_argument);
}

// The host starts the saver and ends it: a command line that runs the saver
// runs it hosted, taking no lock (the host may start a copy for each of its
// windows), and neither input nor the pointer ends it; the cursor and the
// stacking are the host's.
TEST(SaverHost, AHostedSaverTakesNoLockAndIgnoresInput) {
  struct Case {
    std::vector<std::string> words;
    std::string env;
  };
  const Case cases[] = {
      {{"-root"}, ""},
      {{"/S", "--window-id", "77"}, ""},
      {{"/s"}, "0x4c"},
      {{"foo"}, "0x4c"},
  };
  for (const Case& c : cases) {
    Saver saver({.until = 3000}, c.env);
    saver.start(c.words, "1000 move 5 5\n1100 move 300 200\n1200 down Z\n1300 click\n");
    auto& run = saver.run;
    std::string said = c.env + " " + c.words.front();
    EXPECT_TRUE(run.trace().has("0 load FormQScr")) << said << run.trace().dump();
    EXPECT_TRUE(run.trace().has("1300 mouse FormQScr click")) << said;
    EXPECT_FALSE(run.rt().programEnded()) << said << run.trace().dump();
    EXPECT_TRUE(run.trace().grep("cursor").empty()) << said;
    EXPECT_TRUE(run.trace().grep("topmost").empty()) << said;
    EXPECT_TRUE(FileInstanceLock("QScr", saver.locks.path()).take()) << said;
  }
}

// ---- the window ----

TEST(SaverWindow, CoversTheScreenOnTopWithTheCursorHidden) {
  Saver saver({.until = 0, .screen = {1280, 1024}});
  const auto& lines = saver.start({"/S"}, "0 dump\n").lines();
  const std::vector<std::string> load(lines.begin(), lines.begin() + std::min<std::size_t>(lines.size(), 9));
  EXPECT_EQ(load, (std::vector<std::string>{"0 load FormQScr", "0 cursor 0", "0 topmost FormQScr",
                                            "0 set FormQScr.LabelName width 19200", "0 set FormQScr.Display left 15200",
                                            "0 set FormQScr.Display top 9360", "0 show FormQScr",
                                            "0 print FormQScr \">\"", "0 activate FormQScr"}));
  EXPECT_TRUE(saver.run.trace().has("0 dump FormQScr caption=\"QorvexSaver Ver 1.00\" visible=1 width=19200 height=15360 "
                            "back=#000000"))
      << saver.run.trace().dump();
  EXPECT_TRUE(saver.form().borderless());
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
    const TraceView trace = saver.start({"/S"}, c.script);
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
  EXPECT_TRUE(moved.start({"/S"}, "1010 move 5 5\n").has("1010 mouse FormQScr move 5 5"));
}

}  // namespace
}  // namespace qs::test
