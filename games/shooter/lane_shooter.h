#pragma once
#include <cstdint>
#include <string>

#include "qspe/game_scene.h"
#include "runtime/element.h"
#include "runtime/timer.h"

namespace qs {

// A place inside the play field, in pixels.
struct Spot {
  int x = 0;
  int y = 0;
};

// The two keys that step the ship between its lanes, and the step that the
// second key makes (the first one steps the other way).
struct ShipControls {
  int backKey = 0;     // towards lane 0
  int forwardKey = 0;  // towards the last lane
  Spot step;
};

// The caption, the outer size that load sets (in twips), the field's size
// once loaded (in pixels) and its colour, and what a crash shows: `Bgtxt`'s
// glyph and the title.
struct LaneLook {
  const char* caption;
  int outerWidth, outerHeight;
  int fieldWidth, fieldHeight;
  Color field;
  const char* crashGlyph;
  const char* crashTitle;
};

// A ship that steps between lanes 32 pixels apart and fires along its lane
// while Z is held, one beam at a time, at enemies that come one per lane.
// This is what the shooters and Forever share: the elements and the state
// they have in common, the title poll that also fires, the prompt's blink,
// the ship's keys, the beam's flight and its hit on the enemy of its lane,
// the enemy tick without its clear test, and the steps of a game's start and
// end. Where things start, wait and park, which way they move and the tests
// that decide a hit, a crash or a pass are the virtual rules below, upright
// by default: the ship on the bottom row, enemies falling, the beam flying up.
class LaneShooter : public GameScene {
 public:
  void Form_Activate() override;
  void Form_Unload() override;
  void Form_KeyDown(int keyCode) override;
  void Form_KeyUp(int keyCode) override;

 protected:
  LaneShooter(std::string name, GameServices& services, const LaneLook& look, int lanes)
      : GameScene(std::move(name), Units::Pixels, services), frame_(look), lanes_(lanes) {}

  // ---- the rules, upright by default ----
  // Where enemy i enters: at load and when the enemy tick brings it back.
  virtual Spot enemyStart(int i) const { return {32 * i, -32}; }
  // Where enemy i waits after a game has ended.
  virtual Spot enemyWaiting(int i) const { return {32 * i, -64}; }
  // Where a destroyed enemy is put, hidden.
  virtual Spot enemyDestroyed() const { return {256, 0}; }
  // One enemy step per enemy tick.
  virtual Spot enemyStep() const { return {0, 32}; }
  // The ship's lane keys and step; the ship's place at a game start.
  virtual ShipControls shipControls() const;
  virtual void placeShipAtStart();
  // One beam step per beam tick, the test that the beam has left the field,
  // and the place where a spent beam is parked.
  virtual Spot beamStep() const { return {0, -32}; }
  virtual bool beamOut() const;
  virtual Spot beamPark() const { return {288, 32}; }
  // The beam tick's hit test against the enemy of the beam's lane.
  virtual bool beamHits(const Label& enemy) const;
  // The enemy tick's crash and pass tests.
  virtual bool crashes(const Label& enemy) const;
  virtual bool passed(const Label& enemy) const;
  // Sounded before the crash and pass reactions (nothing upright).
  virtual void alarmOnLoss() {}
  // On every key-down and key-up of X, after its flag is set or cleared.
  virtual void xPressed() {}
  virtual void xReleased() {}

  // ---- what each scene has of its own ----
  virtual void TimeEnemy_Timer() = 0;
  virtual void TimeBeam_Timer() = 0;
  virtual void gameStart() = 0;
  virtual void gameOver() = 0;

  // ---- the shared steps ----
  // Caption, colour and sizes of the window and the field `Window`.
  void designWindow();
  // The 10 ms poll, the prompt's blink and the two play ticks.
  void addPlayTimers();
  // At load: the outer window size, then the field's height and width.
  void sizeWindow();
  void TimePushX_Timer();
  void TimeEvent_Timer();
  void pushXkey();
  // A game's first steps: the key flags, score and lanes reset and the ship
  // shown at its start; and its last: play on, the enemies shown where they
  // stand, the game's tune from its start.
  void openGame(int lane);
  void startPlay(const char* tune);
  // The beam's step and its hit test; true on a hit, the enemy destroyed.
  bool beamStrikes();
  // A hit's 100 points; the enemy tick quickens by 5 ms down to `floor`.
  void scoreHit(int floor);
  // One enemy may come back, then every enemy steps, with the crash and pass tests.
  void stepEnemies();
  // An enemy on the ship.
  void crash();
  // A game end's first steps: the loss sounds, the music pauses, play stops
  // and the enemies wait.
  void stopForLoss();
  // The play ticks stop (the enemy tick back to its design interval) and the
  // prompt blinks again.
  void stopPlay();
  // True when the score beat the best shown, which now shows it.
  bool newBest();
  void waitEnemies();
  void showGameOver();
  void parkBeam();
  void showScore();

  // ---- scene state ----
  bool beamOn = false;
  bool pushX = false;
  bool pushZ = false;
  std::int16_t playFlag = 0;
  int shipPos = 0;
  std::uint8_t beamPos = 0;
  int score = 0;
  int hiScore = 0;
  std::uint8_t enemyPick = 0;

  // ---- elements and timers ----
  Box Window;
  LabelArray Enemy;
  Label Beam, Myship, txtHisc, txtHighScore, txtTitle, txtEvent, txtInfo, txtScore, Bgtxt;
  Timer TimePushX, TimeEvent, TimeEnemy, TimeBeam;

  static constexpr int kEnemyInterval = 1000;
  static constexpr const char* kTitleInfo = "Start:Z     Quit:X";

 private:
  const LaneLook& frame_;
  const int lanes_;
};

}  // namespace qs
