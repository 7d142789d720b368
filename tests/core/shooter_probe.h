#pragma once
// Reaches into a shooter scene's state where a script alone would take too
// long (a score near the clear, a worn-down enemy tick).
#include "games/shooter/shooter_core.h"

namespace qs {

struct ShooterProbe {
  static int& score(ShooterCore& s) { return s.score; }
  static int& hiScore(ShooterCore& s) { return s.hiScore; }
  static std::int16_t& restCount(ShooterCore& s) { return s.restCount; }
  static std::uint8_t& highRow(ShooterCore& s) { return s.highRow; }
  static std::uint8_t enemyPick(ShooterCore& s) { return s.enemyPick; }
  static bool beamOn(ShooterCore& s) { return s.beamOn; }
  static std::int16_t playFlag(ShooterCore& s) { return s.playFlag; }
  static Timer& enemyTimer(ShooterCore& s) { return s.TimeEnemy; }
  static Label& enemy(ShooterCore& s, int i) { return s.Enemy[i]; }
};

}  // namespace qs
