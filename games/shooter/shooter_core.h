#pragma once
#include <cstdint>
#include <string>

#include "games/shooter/lane_shooter.h"

namespace qs {

// What sets one five-lane shooter apart beyond its layout and its field's
// turn: the colour the field takes when X is released, the scene's clear
// flag in the score record, and its own texts.
struct ShooterLook : LaneLook {
  Color fieldAfterBlast;
  std::int16_t ScoreRecord::*clearFlag;
  const char* clearTitle;  // an ordinary clear
  const char* playInfo;    // txtInfo in play
};

// The five-lane shooter of "QorvexBlast" and its turned variants: the lane
// shooter with the High blast, its counter, and the clear at 20000 points.
//
// Every procedure keeps one order of steps for all variants; what a variant
// changes is asked of the virtual rules of LaneShooter and the blast's below.
class ShooterCore : public LaneShooter {
 public:
  void design() final;

  void Form_Load() override;

 protected:
  ShooterCore(std::string name, GameServices& services, const ShooterLook& look)
      : LaneShooter(std::move(name), services, look, kLanes), look_(look) {}

  // The elements inside `Window`, topmost first: every scene gives these.
  virtual void designField() = 0;
  std::int16_t& clearFlag() { return scoreRec.*look_.clearFlag; }

  // Where the High blast throws enemy i, with the current `highRow`.
  virtual void blastEnemy(int i);
  // At a game start: the title texts emptied.
  virtual void emptyTitleTexts();
  // The clear procedure. A variant that names it otherwise ("gameClere")
  // overrides this to call its own name, which runs ShooterCore::gameClear().
  virtual void gameClear();

  // X sets off a blast on every key-down in play while blasts are left; the
  // field gets its colour back on every X release, in play or not.
  void xPressed() override {
    if (playFlag == kTrue && restCount > 0) highBlast();
  }
  void xReleased() override { Window.setBack(look_.fieldAfterBlast); }
  void TimeEnemy_Timer() override;
  void TimeBeam_Timer() override;
  void gameStart() override;
  void gameOver() override;
  void highBlast();
  void showRest();

  Label txtRest;

  std::int16_t restCount = 0;
  std::uint8_t highRow = 0;

  static constexpr int kLanes = 5;
  static constexpr int kEnemyFloor = 250;
  static constexpr int kClearScore = 20000;
  static constexpr int kPerfectScore = 30000;

 private:
  const ShooterLook& look_;
  friend struct ShooterProbe;  // tests read and set the scene state
};

}  // namespace qs
