#pragma once
// Shared by the Strike game's tests: the scene with a stand-in menu, and a
// player that builds a script striking every enemy by reading the traces of
// earlier runs of the same (deterministic) game.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "games/strike/form_qs.h"
#include "runtime/keys.h"
#include "support/headless_run.h"

namespace qs::test::strike {

// The menu as far as these tests need it: Z opens the Strike game again.
class MenuStub : public Form {
 public:
  MenuStub() : Form("FormMain") {}
  void design() override { setClientSize(282, 228); }
  void Form_KeyDown(int key) override {
    if (key != vbKeyZ) return;
    app().show(app().form("FormQS"));
    hide();
  }
};

// A run of the scene in a program directory with no media (every sound has
// length 0) and, unless given, no score file.
class Strike : public ::testing::Test {
 protected:
  TraceView play(const std::string& script, std::int64_t until = kNever, HeadlessRun::Setup setup = {}) {
    setup.until = until;
    run.emplace(std::move(setup));
    run->add<FormQS>();
    run->add<MenuStub>();
    return run->run("FormQS", script);
  }
  std::optional<HeadlessRun> run;
};

inline std::string set(const std::string& element, const std::string& prop, const std::string& value) {
  return "set FormQS." + element + " " + prop + " " + value;
}
inline std::string caption(const std::string& element, const std::string& text) {
  return set(element, "caption", inQuotes(text));
}

// The first game starts on the poll after Z at 0, at 10.
inline const char* kStartScript = "0 down Z\n20 up Z\n";
inline std::int64_t started(const TraceView& t) { return t.first(set("TimeRest", "enabled", "1")); }

struct Shown {
  std::int64_t at = -1;
  int cell = -1;
};

// The first enemy shown after `after`.
inline Shown enemyAfter(const TraceView& t, std::int64_t after) {
  Shown first;
  for (int k = 0; k < FormQS::kCells; ++k) {
    std::int64_t at = t.first(set("Enemy(" + std::to_string(k) + ")", "visible", "1"), after + 1);
    if (at >= 0 && (first.at < 0 || at < first.at)) first = {at, k};
  }
  return first;
}

// Key lines moving the cursor from one cell to another at time t.
inline std::string moves(int from, int to, std::int64_t t) {
  std::string s;
  auto press = [&](const char* key, int n) {
    for (int i = 0; i < n; ++i) s += qs::test::press(t, key, 0);
  };
  int dr = to / 3 - from / 3, dc = to % 3 - from % 3;
  press(dr > 0 ? "Down" : "Up", std::abs(dr));
  press(dc > 0 ? "Right" : "Left", std::abs(dc));
  return s;
}

// Builds a script that plays a game by striking the enemies one after
// another; each planning run starts afresh in its own directory.
class Player {
 public:
  // `prefix` holds everything up to the game's start, `startedAt` its time.
  explicit Player(std::uint64_t seed = 1, std::string prefix = kStartScript, std::int64_t startedAt = 20)
      : seed_(seed), script_(std::move(prefix)), last_(startedAt) {}

  const std::string& script() const { return script_; }
  std::int64_t last() const { return last_; }

  // Runs the script so far and `horizon` ms beyond its last line; `look`
  // reads the trace.
  template <class Look>
  auto trial(Look look, std::int64_t horizon = 1100) const {
    HeadlessRun run({.seed = seed_, .until = last_ + horizon});
    run.add<FormQS>();
    run.add<MenuStub>();
    return look(run.run("FormQS", script_));
  }

  // The next enemy to come after the script so far.
  Shown next() const {
    return trial([&](const TraceView& t) { return enemyAfter(t, last_); });
  }

  // Strikes the next enemy `delay` ms after it shows; with `missFirst` a
  // wrong cell is struck first. Returns the enemy struck.
  Shown hitNext(std::int64_t delay = 1, bool missFirst = false) {
    Shown e = next();
    if (e.cell < 0) return e;
    std::int64_t t = e.at + delay;
    if (missFirst) {
      strikeAt(e.cell == cursor_ ? (e.cell + 1) % 9 : cursor_, t);
      t += 20;
    }
    strikeAt(e.cell, t);
    return e;
  }

  // Moves the cursor to `cell` and strikes there: Z down at t, up 14 ms
  // later, after at least one 10 ms poll.
  void strikeAt(int cell, std::int64_t t) {
    script_ += moves(cursor_, cell, t);
    cursor_ = cell;
    add(std::to_string(t) + " down Z");
    add(std::to_string(t + 14) + " up Z");
  }

  void add(const std::string& line) {
    script_ += line + "\n";
    last_ = std::max<std::int64_t>(last_, std::stoll(line.substr(0, line.find(' '))));
  }

 private:
  std::uint64_t seed_;
  std::string script_;
  std::int64_t last_;
  int cursor_ = 4;
};

}  // namespace qs::test::strike
