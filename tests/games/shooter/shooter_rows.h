#pragma once
// The shooter scenes as their tests see them: one row of kShooters per scene,
// saying where its field puts things in the trace's terms, and the fixture
// that runs a row's scene headless.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "games/shooter/form_qb.h"
#include "games/shooter/form_qbf.h"
#include "games/shooter/form_qbl.h"
#include "games/shooter/form_qrb.h"
#include "qspe/menu.h"
#include "sound/wav_info.h"
#include "support/headless_run.h"

namespace qs {

// Reaches into a shooter scene's state where a script alone would take too
// long (a score near the clear, a worn-down enemy tick).
struct ShooterProbe {
  static int& score(ShooterCore& s) { return s.score; }
  static int& hiScore(ShooterCore& s) { return s.hiScore; }
  static std::int16_t& restCount(ShooterCore& s) { return s.restCount; }
  static std::uint8_t& highRow(ShooterCore& s) { return s.highRow; }
  static std::uint8_t enemyPick(ShooterCore& s) { return s.enemyPick; }
  static std::int16_t playFlag(ShooterCore& s) { return s.playFlag; }
  static int shipPos(ShooterCore& s) { return s.shipPos; }
  static Timer& enemyTimer(ShooterCore& s) { return s.TimeEnemy; }
  static Label& enemy(ShooterCore& s, int i) { return s.Enemy[i]; }
};

namespace test {

using P = ShooterProbe;
using Times = std::vector<std::int64_t>;

// A shooter scene as its tests see it. Lane i lies at 32 × i along `across`;
// an enemy moves `step` along `along` each enemy tick, entering at `entry`;
// the beam flies the other way. A destroyed enemy lies at 256 across, 0 along.
struct Shooter {
  const char* form;
  const char* caption;
  ShooterCore& (*add)(HeadlessRun&);
  const char* along;
  const char* across;
  int entry;
  int step;
  int waiting;    // where an enemy waits for the next game after an end
  int shipAlong;  // the ship's row
  const char* backKey;     // the ship towards lane 0
  const char* forwardKey;  // and towards lane 4
  int parkAlong, parkAcross;  // the spent beam's place
  int blastBase;              // the blast throws an enemy to blastBase - step × row
  bool blastRevives;          // and shows a destroyed one again
  const char* field;          // the field's colour once X is let go
  const char* crashTitle;
  const char* crashGlyph;
  const char* clearTitle;
  const char* playInfo;
  const char* perfectRecord;  // the score record after a perfect clear
  int beamLastInside;         // the last place of a beam inside the field, along
  int beamParkTick;           // the beam tick that parks it
  bool lossBeep;              // a crash or a pass sounds the system beep
};

inline void PrintTo(const Shooter& s, std::ostream* os) { *os << s.form; }

template <class F>
ShooterCore& addScene(HeadlessRun& run) {
  return run.add<F>();
}

inline const Shooter kShooters[] = {
    {"FormQB", "QorvexBlast", addScene<FormQB>, "top", "left", -32, 32, -64, 224, "Left", "Right", 32, 288, 0, true,
     "#808080", "Crash!!", "R", "Cleared!!", "Beam:Z     High:X", "ffff000000000000000000000000000000000000", 0, 8,
     false},
    {"FormQBL", "QorvexBlast LEVEL", addScene<FormQBL>, "left", "top", 264, -32, 328, 8, "Up", "Down", 0, 168, 264,
     false, "#0000C0", "Dekopin!!", "B", "Mission Over!!", "Mssl:Z      High:X",
     "0000ffff00000000000000000000000000000000", 264, 9, false},
    {"FormQBF", "QorvexBlast FINAL", addScene<FormQBF>, "left", "top", -32, 32, -64, 224, "Up", "Down", 0, 168, 0,
     false, "#C0C000", "The pen is mighty!!", "!", "Congratulation!!", "Shot:Z     High:X",
     "00000000ffff0000000000000000000000000000", 0, 8, true},
    {"FormQRB", "QorvexReBirth", addScene<FormQRB>, "top", "left", 264, -32, 296, 8, "Left", "Right", 32, 288, 264,
     true, "#C00000", "Finger!!", "G", "Complete!!", "Topd:Z     High:X", "000000000000ffff000000000000000000000000",
     264, 9, false},
};

inline std::string nameOf(const ::testing::TestParamInfo<Shooter>& info) { return info.param.form; }

inline constexpr const char* kZeroRecord = "0000000000000000000000000000000000000000";
inline constexpr const char* kSounds[] = {"start.wav", "end.wav",      "high.wav",
                                          "miss.wav",  "gameover.wav", "clear.wav"};

class ShooterRules : public ::testing::TestWithParam<Shooter> {
 protected:
  const Shooter& v() const { return GetParam(); }

  // The scene and the menu it goes back to; with `sounds` the waiting
  // effects take their real time.
  void start(std::int64_t until, bool sounds = false, std::optional<Bytes> scores = std::nullopt) {
    HeadlessRun::Setup setup{.until = until, .scores = std::move(scores)};
    if (sounds) setup.media.assign(std::begin(kSounds), std::end(kSounds));
    run.emplace(setup);
    scene = &v().add(*run);
    run->add<FormMain>();
  }
  TraceView play(const std::string& script) { return run->run(v().form, script); }
  TraceView trace() const { return run->trace(); }
  std::int64_t wav(const std::string& name) const { return wavLengthMs(run->file(name)); }

  // Trace lines of the scene, without their times.
  std::string set(const std::string& element, const std::string& prop, const std::string& value) const {
    return "set " + std::string(v().form) + "." + element + " " + prop + " " + value;
  }
  std::string caption(const std::string& element, const std::string& text) const {
    return set(element, "caption", inQuotes(text));
  }
  std::string title(const std::string& text) const { return caption("txtTitle", text); }
  static std::string enemy(int i) { return "Enemy(" + std::to_string(i) + ")"; }
  std::string enemyAt(int i, int along) const { return set(enemy(i), v().along, std::to_string(along)); }
  std::string beamAcross(int across) const { return set("Beam", v().across, std::to_string(across)); }
  static int lane(int i) { return 32 * i; }
  // Ticks an enemy takes from `from` to the ship's row.
  int ticksToShip(int from) const { return (v().shipAlong - from) / v().step; }
  bool upright() const { return std::string(v().along) == "top"; }
  int alongOf(const Label& l) const { return upright() ? l.top() : l.left(); }
  void moveTo(Label& l, int across, int along) const { upright() ? l.move(across, along) : l.move(along, across); }
  // The arrow keys that do not step this scene's ship.
  std::vector<const char*> idleKeys() const {
    return std::string(v().backKey) == "Left" ? std::vector<const char*>{"Up", "Down"}
                                               : std::vector<const char*>{"Left", "Right"};
  }

  std::optional<HeadlessRun> run;
  ShooterCore* scene = nullptr;
};

}  // namespace test
}  // namespace qs
