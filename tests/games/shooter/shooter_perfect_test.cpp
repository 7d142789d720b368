// A perfect game of every shooter, played from a script alone: 200 hits with
// no blast spent, and Z let go after the 200th so that the next enemy tick
// finds exactly 20000. The script is built by reading the traces of earlier
// runs of the same seeded game.
#include <algorithm>
#include <cstdlib>

#include "shooter_rows.h"

namespace qs::test {
namespace {

constexpr int kHits = 200;

// Builds the script hit by hit: after each hit the ship steps to the lane of
// the enemy nearest to it (or already past it), and the held Z fires there.
class Pilot {
 public:
  explicit Pilot(const Shooter& v) : v_(v) {}

  const std::string& script() const { return script_; }

  // Runs the script so far until `until`; `look` reads the trace.
  template <class Look>
  auto trial(std::int64_t until, Look look, const std::string& more = "") const {
    HeadlessRun run({.until = until});
    v_.add(run);
    run.add<FormMain>();
    return look(run.run(v_.form, script_ + more));
  }

  // Plays until the 200th hit and lets Z go; false when the game is lost or
  // nothing comes first.
  bool fly() {
    std::int64_t from = 21;
    for (int hits = 0; hits < kHits;) {
      const auto [at, hit] = trial(from + 3000, [&](const TraceView& t) { return nextEvent(t, from); });
      if (at < 0) {
        ADD_FAILURE() << v_.form << ": the game is lost before hit number " << hits + 1 << ", after " << from;
        return false;
      }
      hits += hit;
      from = at + 1;
    }
    add(std::to_string(from) + " up Z");
    return true;
  }

  void add(const std::string& line) { script_ += line + "\n"; }

 private:
  std::string enemyPath(int i) const { return std::string(v_.form) + ".Enemy(" + std::to_string(i) + ")"; }

  // The first time from `from` on that an enemy is shown or hidden.
  static std::int64_t firstOf(const TraceView& t, const std::vector<std::string>& lines, std::int64_t from) {
    std::int64_t first = -1;
    for (const std::string& line : lines) {
      const std::int64_t at = t.first(line, from);
      if (at >= 0 && (first < 0 || at < first)) first = at;
    }
    return first;
  }

  // The next hit, or an enemy coming back, before the game is lost; the ship
  // steps 1 ms later. After a hit it goes for the enemy that has come
  // furthest; when an enemy comes back it leaves a lane only if that is empty.
  std::pair<std::int64_t, bool> nextEvent(const TraceView& t, std::int64_t from) {
    std::vector<std::string> hidden, shown;
    for (int i = 0; i < 5; ++i) {
      hidden.push_back("set " + enemyPath(i) + " visible 0");
      shown.push_back("set " + enemyPath(i) + " visible 1");
    }
    const std::int64_t hit = firstOf(t, hidden, from), back = firstOf(t, shown, from);
    const std::int64_t at = back >= 0 && (hit < 0 || back < hit) ? back : hit;
    const std::int64_t over = t.first("set " + std::string(v_.form) + ".txtTitle caption \"Game Over\"");
    if (at < 0 || (over >= 0 && over <= at)) return {-1, false};
    aimAfter(t, at, at == hit);
    return {at, at == hit};
  }

  // The enemies as the trace leaves them at `at`.
  void aimAfter(const TraceView& t, std::int64_t at, bool afterHit) {
    int target = lane_, best = -1000;
    bool laneTaken = false;
    for (int i = 0; i < 5; ++i) {
      int along = v_.entry;
      bool shown = true;
      for (auto& m : t.values(enemyPath(i), v_.along))
        if (m.at <= at) along = std::stoi(m.value);
      for (auto& m : t.values(enemyPath(i), "visible"))
        if (m.at <= at) shown = m.value == "1";
      const int come = (along - v_.entry) / v_.step;
      laneTaken = laneTaken || (shown && i == lane_);
      if (shown && (come > best || (come == best && std::abs(i - lane_) < std::abs(target - lane_)))) {
        best = come;
        target = i;
      }
    }
    if (!afterHit && laneTaken) return;
    const std::string when = std::to_string(at + 1) + " ";
    for (; lane_ < target; ++lane_) add(when + "down " + v_.forwardKey + "\n" + when + "up " + v_.forwardKey);
    for (; lane_ > target; --lane_) add(when + "down " + v_.backKey + "\n" + when + "up " + v_.backKey);
  }

  const Shooter& v_;
  // Z held from the start; the repeat at 20 fires the first shot.
  std::string script_ = "0 down Z\n20 repeat Z\n";
  int lane_ = 2;
};

Bytes bytesOfHex(const std::string& hex) {
  Bytes b;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) b.push_back(std::uint8_t(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return b;
}

class PerfectGame : public ShooterRules {};

TEST_P(PerfectGame, TwoHundredHitsAndNoBlastSetTheScenesOwnFlagAndNothingElse) {
  // The other games' flags hold a value that is not "cleared", the best scores
  // numbers of their own: all of it goes back to the file as it was.
  const std::string own = v().perfectRecord;
  const std::size_t flag = own.find("ffff");
  ASSERT_NE(flag, std::string::npos);
  std::string before = "010001000100010001000100" "39300000" "e1100000";
  before.replace(flag, 4, "0000");
  std::string after = before;
  after.replace(flag, 4, "ffff");

  Pilot pilot(v());
  ASSERT_TRUE(pilot.fly());
  const std::int64_t clear = pilot.trial(kNever, [&](const TraceView& t) { return t.first(title("Perfect!!!")); },
                                         "200000 quit\n");
  ASSERT_GT(clear, 0) << "no perfect clear";
  pilot.add(std::to_string(clear + 500) + " down X");
  pilot.add(std::to_string(clear + 510) + " up X");

  start(kNever, false, bytesOfHex(before));
  auto t = play(pilot.script());
  EXPECT_EQ(t.first(title("Perfect!!!")), clear);
  EXPECT_EQ(t.count("wav hit.wav async"), kHits);
  EXPECT_EQ(t.count("wav high.wav"), 0);
  EXPECT_EQ(t.first(caption("txtRest", "2")), -1);
  const std::int64_t reached = t.first(caption("txtScore", "20000"));
  EXPECT_GT(reached, 0);
  EXPECT_LT(reached, clear);
  EXPECT_EQ(t.first(caption("txtScore", "20100")), -1);
  for (const std::string& line : {caption("txtScore", "30000"), caption("Myship", "J"), caption("Bgtxt", "P")})
    EXPECT_EQ(t.first(line), clear) << line;
  EXPECT_EQ(t.first(title("Game Over")), -1);
  EXPECT_EQ(t.grep(" write Qspe.dat ", true), (std::vector<std::string>{"write Qspe.dat " + after}));
  EXPECT_EQ(readBytes(run->file("Qspe.dat")), bytesOfHex(after));
}

INSTANTIATE_TEST_SUITE_P(Shooters, PerfectGame, ::testing::ValuesIn(kShooters), nameOf);

}  // namespace
}  // namespace qs::test
