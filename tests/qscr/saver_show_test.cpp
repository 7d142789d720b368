// The saver run headless: what its words start, its show (a character every
// 20 s, its description typed a letter every 100 ms and wrapped at the box's
// right edge), what ends it, and a screen-saver host's window.
#include <gtest/gtest.h>

#include <algorithm>

#include "qscr/form_qscr.h"
#include "qscr/host_window.h"
#include "qscr/qscr_program.h"
#include "runtime/random.h"
#include "runtime/script.h"
#include "support/fixed_measurer.h"
#include "support/headless_run.h"

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
      : run((setup.painter = &measurer, setup)),
        program(run.rt(), std::make_unique<FileInstanceLock>("QScr", locks.path()), std::move(hostEnv)) {}
  TraceView start(const std::vector<std::string>& words, const std::string& script = "") {
    run.rt().setScript(parseScript(script).events);
    run.rt().run(program.entry(words));
    return run.trace();
  }
  Box& display() {
    auto is = [](Element* e) { return e->name() == "Display"; };
    return static_cast<Box&>(**std::ranges::find_if(run.rt().form("FormQScr").children(), is));
  }
};

// Lines of the trace at time t, without the time.
std::vector<std::string> linesAt(const TraceView& trace, std::int64_t t) {
  std::vector<std::string> out;
  for (const std::string& l : trace.lines())
    if (l.starts_with(std::to_string(t) + " ")) out.push_back(l.substr(l.find(' ') + 1));
  return out;
}

// /C (or nothing) the settings, /A the password box, /P nothing; /S and
// anything else runs, hosted when a host's window is named; a hosted saver
// takes no lock and no input, the cursor and the stacking are the host's.
TEST(SaverWords, ChooseWhatTheSaverDoes) {
  const std::string settings = std::string("0 msgbox \"") + kSaverTitle + "\" \"QorvexSaver shows";
  const std::string password = std::string("0 msgbox \"") + kSaverTitle + "\" \"パスワードには非対応\"";
  // clang-format off
  const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
      {{}, "", settings}, {{"/c:1234"}, "", settings}, {{"/C"}, "0x4c", settings}, {{"/a", "77"}, "", password},
      {{"/p", "99"}, "", "0 end"}, {{"/S"}, "", "run"}, {{"foo"}, "", "run"}, {{"-root"}, "", "hosted"},
      {{"/s"}, "0x4c", "hosted"}, {{"/S", "--window-id", "77"}, "", "hosted"}};
  // clang-format on
  for (const auto& [words, env, does] : cases) {
    const std::string said = env + " " + (words.empty() ? "" : words[0]);
    Saver saver({.until = 3000}, env);
    auto t = saver.start(words, "1000 move 5 5\n1100 move 300 200\n1200 down Z\n1300 click\n");
    const bool runs = does == "run" || does == "hosted", own = does == "run";
    EXPECT_TRUE(runs ? t.has("0 load FormQScr") : t[0].starts_with(does) && !t.has("0 load FormQScr")) << said;
    EXPECT_EQ(std::pair(t.has("0 cursor 0"), t.has("0 topmost FormQScr")), std::pair(own, own)) << said;
    EXPECT_EQ(saver.run.rt().programEnded(), does != "hosted") << said << t.dump();
    EXPECT_EQ(FileInstanceLock("QScr", saver.locks.path()).take(), does == "hosted") << said;
  }
}

TEST(SaverHost, TheHostsWindowComesFromTheCommandLineOrTheEnvironment) {
  // clang-format off
  const std::tuple<std::vector<std::string>, std::string, std::optional<HostWindow>> cases[] = {
      {{"/S"}, "", std::nullopt}, {{"-root"}, "", HostWindow{true, 0}},
      {{"-window-id", "4194311"}, "", HostWindow{false, 4194311}}, {{"--window-id", "0x41"}, "", HostWindow{false, 65}},
      {{"-root"}, "0x400007", HostWindow{false, 0x400007}},
      {{"-root", "-window-id", "12"}, "0x47", HostWindow{false, 12}}};
  const std::vector<std::string> bad[] = {{"-window-id"}, {"-window-id", "zero"}, {"-window-id", "0"},
      {"-window-id", "-5"}, {"-window-id", "12x"}, {"-window-id", "99999999999999999999999"}};
  // clang-format on
  for (const auto& [words, env, window] : cases) EXPECT_EQ(findHostWindow(words, env), window) << env << words[0];
  for (const auto& words : bad) EXPECT_THROW(findHostWindow(words, ""), std::invalid_argument) << words.back();
  EXPECT_THROW(findHostWindow({"-root"}, "window"), std::invalid_argument);
}

// Every 20 s a character drawn at random, 0..9 rounded from 9 x Rnd (the
// first and last half as often), from a generator reseeded at load. Its
// description is typed a letter every 100 ms, each printed twice: an
// invisible trial in the box's colour, then for real. With letters 10 px wide
// the 200 px box holds 19 to a line: the 20th would end on the edge and
// starts the next line.
TEST(SaverShow, EveryTwentySecondsACharacterDrawnAtRandomAndItsDescriptionTyped) {
  constexpr int kChanges = 200;
  Saver saver({.seed = 7, .until = kChanges * 20000 - 1});
  const TraceView t = saver.start({"/S"});
  Random random(clockSeed(7, 0));
  std::string caption = "QorvexBlastシリーズ　キャラクター紹介", description;
  for (std::int64_t k = 1; k < kChanges; ++k) {
    const SaverCharacter& c = kSaverCharacters[static_cast<std::size_t>(roundHalfEven(random.draw() * 9))];
    std::vector<std::string> expected = {"cls FormQScr", "print FormQScr " + quoted(c.glyph)};
    if (c.name != caption) expected.push_back("set FormQScr.LabelName caption " + quoted(c.name));
    expected.push_back("cls FormQScr.Display");
    ASSERT_EQ(linesAt(t, 20000 * k), expected) << "change " << k;
    caption = c.name, description = c.description;
  }
  EXPECT_EQ(t.grep(" cls FormQScr").size(), 2u * (kChanges - 1)) << "changes only every 20 s";
  const std::int64_t last = 20000 * (kChanges - 1);
  std::vector<std::int64_t> typed;  // when each letter since was printed, twice
  for (const std::string& l : t.grep(" print FormQScr.Display "))
    if (!l.ends_with("\"\"") && std::stoll(l) > last) typed.push_back(std::stoll(l));
  std::string text;
  std::size_t n = 0;
  for (const PrintedRun& r : saver.display().printed()) {
    if (r.fore == saver.display().back()) continue;  // the trial
    const int i = static_cast<int>(n++);
    text += r.text;
    ASSERT_LE(2 * n, typed.size());
    EXPECT_EQ(std::tuple(typed[2 * n - 2], r.x, r.y), std::tuple(last + 100 * (i + 1), 10 * (i % 19), 20 * (i / 19)))
        << i;
  }
  EXPECT_TRUE(text == description && n > 40 && typed.size() == 2 * n) << text << " " << typed.size();
}

// Over the whole screen with the cursor hidden; a key, a click or a move away
// from where the pointer was first seen ends it at the next 50 ms tick, with
// the cursor back.
TEST(SaverWindow, CoversTheScreenAndAKeyAClickOrAMoveEndsItAtTheNextTick) {
  Saver whole({.until = 0, .screen = {1280, 1024}});
  EXPECT_TRUE(whole.start({"/S"}, "0 dump\n").dumpOf("FormQScr").find("width=19200 height=15360") != std::string::npos);
  // clang-format off
  const std::pair<std::string, std::int64_t> cases[] = {
      {"1010 down 65\n", 1050}, {"1010 repeat 36\n", 1050}, {"1000 down Z\n", 1000}, {"1010 click\n", 1050},
      {"1010 move 5 5\n1210 move 6 5\n", 1250}, {"1010 move 5 5\n1210 move 5 4\n", 1250},
      {"1010 move 5 5\n1300 move 5 5\n", -1}, {"1010 up Z\n", -1}};
  // clang-format on
  for (const auto& [script, end] : cases) {
    Saver saver({.until = 2000});
    const TraceView t = saver.start({"/S"}, script);
    const std::string at = std::to_string(end) + " ";
    EXPECT_EQ(saver.run.rt().programEnded(), end >= 0) << script;
    EXPECT_TRUE(end < 0 || t.inOrder({at + "unload FormQScr", at + "cursor 1", at + "end"})) << script << t.dump();
  }
}

}  // namespace
}  // namespace qs::test
