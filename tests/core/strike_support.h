#pragma once
// Shared by the Strike game's tests: a stand-in menu, trace readers, and a
// player that builds a script striking every enemy by reading the trace of
// earlier runs of the same (deterministic) game.
#include <cstdint>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

#include "games/strike/form_qs.h"
#include "runtime/keys.h"
#include "support/scene_harness.h"
#include "support/temp_dir.h"

namespace qs::test::strike {

// Each game runs in a fresh, empty program directory: no media, so every
// sound has length 0, and no score file yet.
using qs::test::TempDir;

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

struct Timed {
  std::int64_t at = 0;
  std::string value;
};

// "T set FormQS.E P V" lines of one element and property, in order.
inline std::vector<Timed> sets(const std::vector<std::string>& lines, const std::string& element,
                               const std::string& prop) {
  std::vector<Timed> out;
  const std::string mid = " set FormQS." + element + " " + prop + " ";
  for (const auto& l : lines) {
    auto p = l.find(mid);
    if (p == std::string::npos || l.find(' ') != p) continue;
    out.push_back({std::stoll(l.substr(0, p)), l.substr(p + mid.size())});
  }
  return out;
}

inline std::string q(const std::string& s) { return "\"" + s + "\""; }

// Time of the first line that reads exactly "T <rest>"; -1 if none.
inline std::int64_t timeOf(const std::vector<std::string>& lines, const std::string& rest, std::int64_t after = -1) {
  for (const auto& l : lines) {
    auto p = l.find(' ');
    if (p == std::string::npos || l.substr(p + 1) != rest) continue;
    std::int64_t t = std::stoll(l.substr(0, p));
    if (t > after) return t;
  }
  return -1;
}

// The lines appear in the trace in this order (others may come between).
inline ::testing::AssertionResult inOrder(const HeadlessRun& run, const std::vector<std::string>& expected) {
  int from = 0;
  for (const auto& line : expected) {
    int at = run.indexOf(line, from);
    if (at < 0) return ::testing::AssertionFailure() << "missing, or out of order: " << line << "\n" << run.dump();
    from = at + 1;
  }
  return ::testing::AssertionSuccess();
}

struct Shown {
  std::int64_t at = -1;
  int cell = -1;
};

// The first enemy shown after `after`.
inline Shown enemyAfter(const std::vector<std::string>& lines, std::int64_t after) {
  // Lines of the form "T set FormQS.Enemy(k) visible 1".
  const std::string head = " set FormQS.Enemy(", tail = ") visible 1";
  for (const auto& l : lines) {
    auto sp = l.find(' ');
    if (sp == std::string::npos || l.compare(sp, head.size(), head) != 0) continue;
    std::size_t k = sp + head.size();
    if (l.size() != k + 1 + tail.size() || l.compare(k + 1, tail.size(), tail) != 0) continue;
    if (l[k] < '0' || l[k] > '8') continue;
    std::int64_t t = std::stoll(l.substr(0, sp));
    if (t > after) return {t, l[k] - '0'};
  }
  return {};
}

// Key lines moving the cursor from one cell to another at time t.
inline std::string moves(int from, int to, std::int64_t t) {
  std::string s;
  auto press = [&](const char* key, int n) {
    for (int i = 0; i < n; ++i) {
      s += std::to_string(t) + " down " + key + "\n";
      s += std::to_string(t) + " up " + key + "\n";
    }
  };
  int dr = to / 3 - from / 3, dc = to % 3 - from % 3;
  press(dr > 0 ? "Down" : "Up", std::abs(dr));
  press(dc > 0 ? "Right" : "Left", std::abs(dc));
  return s;
}

// Builds a script that plays a game by striking the enemies one after
// another. Every planning run starts from scratch in its own empty directory,
// so the planning leaves no score file behind.
class Player {
 public:
  // `prefix` holds everything up to the game's start, `startedAt` its time.
  Player(std::uint64_t seed, std::string prefix, std::int64_t startedAt)
      : seed_(seed), script_(std::move(prefix)), last_(startedAt) {}

  const std::string& script() const { return script_; }
  std::int64_t last() const { return last_; }
  int cursor() const { return cursor_; }

  // Runs the script so far and `horizon` ms beyond its last line.
  std::vector<std::string> trial(std::int64_t horizon = 1100) const {
    TempDir dir;
    HeadlessRun run({.dir = dir.path(), .seed = seed_, .until = last_ + horizon});
    run.add<FormQS>();
    run.add<MenuStub>();
    return run.run("FormQS", script_);
  }

  // The next enemy to come after the script so far.
  Shown next() const { return enemyAfter(trial(), last_); }

  // Strikes the next enemy `delay` ms after it shows; with `missFirst` a
  // wrong cell is struck first. Returns the enemy struck.
  Shown hitNext(std::int64_t delay = 1, bool missFirst = false) {
    Shown e = next();
    if (e.cell < 0) return e;
    std::int64_t t = e.at + delay;
    if (missFirst) {
      int wrong = e.cell == cursor_ ? (e.cell + 1) % 9 : cursor_;
      strikeAt(wrong, t);
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

// The first game starts on the poll after Z at 0.
inline const char* kStartScript = "0 down Z\n20 up Z\n";

}  // namespace qs::test::strike
