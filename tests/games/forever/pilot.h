#pragma once
// A player for the Forever shooter that reads the field every 10 ms and
// presses keys as a player watching it would; its keys are script lines, so
// each trace replays as a script, headless or live.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "games/forever/form_qf.h"
#include "runtime/keys.h"
#include "runtime/script.h"
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
  static int enemyInterval(FormQF& s) { return s.TimeEnemy.interval(); }
};

namespace test::forever {

// What one visit to the shooter is for. Clear, CatchPower and MeetSkull fly
// a game; Lose starts one and lets the wall land; Leave goes back from the
// title.
enum class Aim { Clear, CatchPower, MeetSkull, Lose, Leave };

// Flies the visits in order: on the menu it picks entry 5 (Left six times,
// Right five, Z), on the intro it presses Z; in a game it holds Z, puts the
// ship under the lowest enemy once it comes near, else under the boss, out
// of the way of skulls (and of the power item unless it is after it); after
// the game it lets Z go and leaves with X, and in the ending it presses Z
// once "Fin..." is up. Each wait lasts `dwell` ms. Once the visits are done,
// the menu ends the run. It looks 3 ms after the scenes' timers, and its
// keys reach the scenes 1 ms later; `keys()` gives them all, as sent.
class Pilot {
 public:
  struct Options {
    int startFrom = 0;  // the game's score is set to this as it starts
    int dwell = 0;
  };
  Pilot(HeadlessRun& run, FormQF& scene, std::vector<Aim> visits, Options o)
      : run_(run), s_(scene), visits_(std::move(visits)), o_(o) {
    run.at(3, [this] { timer_.attach(run_.rt(), "pilot", 10, true, [this] { tick(); }); });
  }
  Pilot(HeadlessRun& run, FormQF& scene, Aim aim, int startFrom = 0) : Pilot(run, scene, {aim}, {startFrom, 0}) {}
  ~Pilot() { timer_.detach(); }

  const std::vector<InputEvent>& keys() const { return sent_; }
  // Writes the keys as a script, with `extra` lines ("T shot ...") in time order.
  std::string script(std::vector<std::pair<std::int64_t, std::string>> extra) const {
    std::string s = "seed " + std::to_string(run_.rt().seed()) + "\n";
    std::stable_sort(extra.begin(), extra.end(), [](auto& a, auto& b) { return a.first < b.first; });
    auto more = extra.begin();
    for (const InputEvent& e : sent_) {
      for (; more != extra.end() && more->first < e.time; ++more) s += std::to_string(more->first) + " " + more->second + "\n";
      s += scriptLine(e) + "\n";
    }
    return s;
  }

 private:
  using K = InputEvent::Kind;
  using P = ForeverProbe;
  static constexpr int kCell = FormQF::kCell;
  static constexpr int kSkullNear = 152;  // a skull lower than this is dodged
  enum class Where { None, Menu, Intro, Shooter, Ending };

  Aim aim() const { return visits_[std::min(visit_, visits_.size() - 1)]; }

  // `l` falls in the lower field over column c.
  static bool over(const Label& l, int c, int from = 120) {
    return l.left() < FormQF::kFieldWidth && l.top() >= from && l.top() <= 248 && std::abs(l.left() - kCell * c) <= 20;
  }
  // An enemy one row above the ship lands on it at the next enemy tick,
  // unless a beam gets it first.
  bool landing(int c) const {
    const Label& e = P::enemy(s_, c);
    const std::int64_t next = lastEnemyTick_ + P::enemyInterval(s_) - run_.rt().now();
    return e.visible() && e.left() < 256 && e.top() == 192 && next < 150;
  }
  bool unsafe(int c) const {
    return landing(c) || (aim() != Aim::MeetSkull && over(P::skull(s_), c, kSkullNear)) || (aim() != Aim::CatchPower && over(P::power(s_), c));
  }
  // The column nearest to c that passes `ok`; c when none does.
  template <class Ok>
  static int nearest(int c, Ok ok) {
    for (int d = 0; d < FormQF::kColumns; ++d)
      for (int x : {c - d, c + d})
        if (x >= 0 && x < FormQF::kColumns && ok(x)) return x;
    return c;
  }
  int target() const {
    const Label &power = P::power(s_), &skull = P::skull(s_), &boss = P::boss(s_);
    if (aim() == Aim::CatchPower && over(power, power.left() / kCell)) return power.left() / kCell;
    if (aim() == Aim::MeetSkull && over(skull, (skull.left() + 16) / kCell)) return (skull.left() + 16) / kCell;
    const int ship = P::ship(s_).left() / kCell;
    int lowest = -1;
    for (int i = 0; i < FormQF::kColumns; ++i) {
      const Label& e = P::enemy(s_, i);
      if (e.visible() && e.left() < 256 && (lowest < 0 || e.top() > P::enemy(s_, lowest).top())) lowest = i;
    }
    const bool bossOut = P::bossOut(s_);
    if (lowest >= 0 && (!bossOut || P::enemy(s_, lowest).top() >= 64)) return lowest;
    if (!bossOut) return ship;
    return nearest(ship, [&](int c) { return kCell * c + 32 >= boss.left() && boss.left() + 120 >= kCell * c; });
  }

  Where where() {
    Runtime& rt = run_.rt();
    if (rt.hasForm("FormEnd") && rt.form("FormEnd").loaded()) return Where::Ending;
    if (rt.hasForm("FormFirst") && rt.form("FormFirst").loaded()) return Where::Intro;
    if (s_.loaded()) return Where::Shooter;
    if (rt.form("FormMain").loaded() && rt.form("FormMain").visible()) return Where::Menu;
    return Where::None;
  }

  void step() {
    const Where w = where();
    if (w != where_) {
      if (where_ == Where::Shooter && w == Where::Menu) ++visit_, phase_ = 0, lastScore_ = 0;
      for (int key : held_) send(K::KeyUp, key);
      held_.clear();
      where_ = w;
      since_ = run_.rt().now();
      acted_ = false;
    }
    const std::int64_t waited = run_.rt().now() - since_;
    const bool due = !acted_ && waited >= o_.dwell;
    switch (w) {
      case Where::Menu:
        if (visit_ >= visits_.size()) return send(K::Quit, 0);
        if (!due) return;
        for (int i = 0; i < 6; ++i) tap(vbKeyLeft);
        for (int i = 0; i < 5; ++i) tap(vbKeyRight);
        tap(vbKeyZ);
        acted_ = true;
        return;
      case Where::Intro:
        if (due) hold(vbKeyZ), acted_ = true;
        return;
      case Where::Ending:  // "Fin..." comes 39 s after the ending opens
        if (!acted_ && waited >= 39000 + o_.dwell) hold(vbKeyZ), acted_ = true;
        return;
      case Where::Shooter:
        return fly(due);
      case Where::None:
        return;
    }
  }

  void fly(bool due) {
    const bool playing = P::playFlag(s_) == kTrue;
    if (phase_ == 0 && playing) {
      if (o_.startFrom > 0) P::score(s_) = o_.startFrom;
      phase_ = 1;
    }
    if (phase_ == 0 && aim() == Aim::Leave) phase_ = 2;
    // A lower score: Z still held has started the next game, which is left to be lost.
    if (phase_ == 1 && (!playing || P::score(s_) < lastScore_ || aim() == Aim::Lose)) {
      send(K::KeyUp, vbKeyZ);
      phase_ = 2;
    }
    if (phase_ == 2) {
      if (!playing && s_.visible() && due) hold(vbKeyX), acted_ = true;
      return;
    }
    if (phase_ == 0 && run_.rt().now() - since_ < o_.dwell) return;
    if (phase_ == 1) {
      int tops = 0;
      for (int i = 0; i < FormQF::kColumns; ++i) tops += P::enemy(s_, i).top();
      if (tops != lastTops_) lastTops_ = tops, lastEnemyTick_ = run_.rt().now() - 3;
      lastScore_ = P::score(s_);
      const int want = nearest(target(), [&](int c) { return !unsafe(c); });
      for (int c = P::ship(s_).left() / kCell; c != want; c += c < want ? 1 : -1) tap(c < want ? vbKeyRight : vbKeyLeft);
    }
    // Z held: the keyboard repeats it whenever a game start has let go of it.
    if (!P::pushZ(s_)) send(phase_ == 0 ? K::KeyDown : K::KeyRepeat, vbKeyZ);
  }

  void send(K kind, int key) {
    InputEvent e;
    e.kind = kind;
    e.time = run_.rt().now() + 1;
    e.key = key;
    pending_.push_back(e);
  }
  void tap(int key) { send(K::KeyDown, key), send(K::KeyUp, key); }
  // Down now, up when the scene changes.
  void hold(int key) {
    send(K::KeyDown, key);
    held_.push_back(key);
  }
  void tick() {
    pending_.clear();
    step();
    if (pending_.empty()) return;
    run_.rt().setScript(pending_);
    sent_.insert(sent_.end(), pending_.begin(), pending_.end());
  }

  HeadlessRun& run_;
  FormQF& s_;
  std::vector<Aim> visits_;
  Options o_;
  Timer timer_;
  std::size_t visit_ = 0;
  Where where_ = Where::None;
  std::int64_t since_ = 0;
  bool acted_ = false;
  std::vector<int> held_;
  int phase_ = 0;  // 0 before the game, 1 in it, 2 after it
  int lastScore_ = 0;
  int lastTops_ = 0;
  std::int64_t lastEnemyTick_ = 0;
  std::vector<InputEvent> pending_, sent_;
};

}  // namespace test::forever
}  // namespace qs
