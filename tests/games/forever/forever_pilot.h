#pragma once
// Shared by the Forever shooter's tests: the scene with stand-ins for the
// menu and the ending, and a pilot that plays it live, reading the field
// every 10 ms and pressing keys, as a player watching the screen would; its
// keys are script lines, so its trace replays as a script.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "games/forever/form_qf.h"
#include "runtime/keys.h"
#include "support/headless_run.h"

namespace qs {

// Reads the field and the state a player would see.
struct ForeverProbe {
  static Label& enemy(FormQF& s, int i) { return s.Enemy[i]; }
  static Label& ship(FormQF& s) { return s.Myship; }
  static Label& skull(FormQF& s) { return s.Skull; }
  static Label& power(FormQF& s) { return s.Power; }
  static Label& boss(FormQF& s) { return s.txtBoss; }
  static std::int16_t playFlag(FormQF& s) { return s.playFlag; }
  static bool bossOut(FormQF& s) { return s.TimeBoss.enabled(); }
  static int& score(FormQF& s) { return s.score; }
  static bool pushZ(FormQF& s) { return s.pushZ; }
};

namespace test::forever {

using P = ForeverProbe;

// The menu and the ending as far as these tests need them: the ending shows
// the game again a second after it opens.
class MenuStub : public Form {
 public:
  MenuStub() : Form("FormMain") {}
  void design() override { setClientSize(282, 228); }
};
class EndingStub : public Form {
 public:
  EndingStub() : Form("FormEnd") {}
  void design() override {
    setClientSize(100, 100);
    addTimer(close, "close", 1000, true, [this] { unload(); });
  }
  void Form_Unload() override { app().show(app().form("FormQF")); }

 private:
  Timer close;
};

inline std::string set(const std::string& element, const std::string& prop, const std::string& value) {
  return "set FormQF." + element + " " + prop + " " + value;
}
inline std::string caption(const std::string& element, const std::string& text) {
  return set(element, "caption", inQuotes(text));
}

// What the pilot does besides staying alive and shooting.
enum class Aim { Clear, CatchPower, MeetSkull };

// Holds Z and steers: to the lowest enemy once it comes near, else under the
// boss, away from skulls (and from the power item unless it is after it).
// It acts 3 ms after each 10 ms mark, never at the same time as a timer.
class Pilot {
 public:
  Pilot(HeadlessRun& run, FormQF& scene, Aim aim) : run_(run), scene_(scene), aim_(aim) {
    run.at(3, [this] { timer_.attach(run_.rt(), "pilot", 10, true, [this] { tick(); }); });
  }
  ~Pilot() { timer_.detach(); }
  // From `score` on instead of 0: the game's score is set so on its start.
  void startFrom(int score) { startFrom_ = score; }

 private:
  static constexpr int kRows = 224;  // the ship's row

  int column(const Label& l) const { return l.left() / FormQF::kCell; }
  bool near(const Label& l, int c, int from) const {
    return l.left() < FormQF::kFieldWidth && l.top() >= from && l.top() <= kRows + 24 &&
           std::abs(l.left() - FormQF::kCell * c) <= 20;
  }
  bool unsafe(int c) const {
    if (aim_ != Aim::MeetSkull && near(P::skull(scene_), c, 120)) return true;
    return aim_ != Aim::CatchPower && near(P::power(scene_), c, 120);
  }
  bool hitsBoss(int c) const {
    const int x = FormQF::kCell * c, boss = P::boss(scene_).left();
    return x + 32 >= boss && boss + 120 >= x;
  }
  int target() const {
    int lowest = -1;
    for (int i = 0; i < FormQF::kColumns; ++i) {
      const Label& e = P::enemy(scene_, i);
      if (e.visible() && e.left() < 256 && (lowest < 0 || e.top() > P::enemy(scene_, lowest).top())) lowest = i;
    }
    const Label& power = P::power(scene_);
    if (aim_ == Aim::CatchPower && power.left() < FormQF::kFieldWidth && power.top() >= 120 && power.top() < kRows)
      return column(power);
    const Label& skull = P::skull(scene_);
    if (aim_ == Aim::MeetSkull && skull.left() < FormQF::kFieldWidth && skull.top() >= 100)
      return (skull.left() + 16) / FormQF::kCell;
    if (lowest >= 0 && (!P::bossOut(scene_) || P::enemy(scene_, lowest).top() >= 64)) return lowest;
    if (P::bossOut(scene_))
      for (int d = 0; d < FormQF::kColumns; ++d)
        for (int c : {shipAt() - d, shipAt() + d})
          if (c >= 0 && c < FormQF::kColumns && hitsBoss(c) && !unsafe(c)) return c;
    return lowest >= 0 ? lowest : shipAt();
  }
  int shipAt() const { return column(P::ship(scene_)); }

  // Z starts one game and is let go at its end (a game it starts again on
  // the way, Z still held, is left to be lost); then X leaves from the title.
  void step() {
    if (!scene_.loaded()) {
      if (done_) send(InputEvent::Kind::Quit, 0);  // left for the menu: the run is over
      return;
    }
    const bool playing = P::playFlag(scene_) == kTrue;
    if (done_) {
      if (!playing && scene_.visible() && !run_.rt().form("FormEnd").loaded()) press(vbKeyX);
      return;
    }
    if (!playing) {
      if (started_) {
        release(vbKeyZ);
        done_ = true;
      } else {
        hold(vbKeyZ);
      }
      return;
    }
    if (!started_ && startFrom_ > 0) P::score(scene_) = startFrom_;
    if (started_ && P::score(scene_) < lastScore_) {  // restarted by the held Z
      release(vbKeyZ);
      done_ = true;
      return;
    }
    started_ = true;
    lastScore_ = P::score(scene_);
    int want = target();
    // Step aside from a skull or the item on the way.
    for (int d = 1; unsafe(want) && d < FormQF::kColumns; ++d)
      for (int c : {want - d, want + d})
        if (c >= 0 && c < FormQF::kColumns && !unsafe(c)) {
          want = c;
          d = FormQF::kColumns;
          break;
        }
    for (int c = shipAt(); c != want; c += c < want ? 1 : -1) tap(c < want ? vbKeyRight : vbKeyLeft);
    hold(vbKeyZ);
  }

  // The keys decided at t reach the scene at t + 1 as script lines, which
  // come before any timer due then.
  void send(InputEvent::Kind kind, int key) {
    InputEvent e;
    e.kind = kind;
    e.time = run_.rt().now() + 1;
    e.key = key;
    pending_.push_back(e);
  }
  void tap(int key) {
    send(InputEvent::Kind::KeyDown, key);
    send(InputEvent::Kind::KeyUp, key);
  }
  void press(int key) { send(InputEvent::Kind::KeyDown, key); }
  // Z held: pressed once, then a key repeat whenever a game start has let
  // go of it.
  void hold(int key) {
    if (!zHeld_) press(key);
    else if (!P::pushZ(scene_)) send(InputEvent::Kind::KeyRepeat, key);
    zHeld_ = true;
  }
  void release(int key) {
    if (zHeld_) send(InputEvent::Kind::KeyUp, key);
    zHeld_ = false;
  }
  void tick() {
    pending_.clear();
    step();
    if (!pending_.empty()) run_.rt().setScript(pending_);
  }

  HeadlessRun& run_;
  FormQF& scene_;
  Aim aim_;
  Timer timer_;
  int startFrom_ = 0;
  int lastScore_ = 0;
  bool started_ = false;
  bool done_ = false;
  bool zHeld_ = false;
  std::vector<InputEvent> pending_;
};

// A run of the scene with the stand-ins, from a given record.
class Forever : public ::testing::Test {
 protected:
  FormQF& make(std::int64_t until, std::optional<ScoreRecord> rec = std::nullopt, std::uint64_t seed = 1) {
    HeadlessRun::Setup setup{.seed = seed, .until = until};
    if (rec) setup.scores = bytesOf(rec->toBytes());
    run.emplace(std::move(setup));
    FormQF& scene = run->add<FormQF>();
    run->add<MenuStub>();
    run->add<EndingStub>();
    return scene;
  }
  TraceView play(const std::string& script = "") { return run->run("FormQF", script); }
  ScoreRecord written() const {
    Bytes b = readBytes(run->file("Qspe.dat"));
    return ScoreRecord::fromBytes(b.data(), b.size());
  }
  std::optional<HeadlessRun> run;
};

}  // namespace test::forever
}  // namespace qs
