#pragma once
#include <cstdint>
#include <string>

#include "runtime/element.h"
#include "qspe/game_scene.h"
#include "runtime/timer.h"

namespace qs {

// A place inside the play field, in pixels.
struct Spot {
  int x = 0;
  int y = 0;
};

// What sets one shooter scene apart beyond its layout and its field's turn:
// the caption, the outer size that load sets (in twips), the field's size
// once loaded (in pixels), its colour and the colour it takes when X is
// released, the scene's clear flag in the score record, and its own texts.
struct ShooterLook {
  const char* caption;
  int outerWidth, outerHeight;
  int fieldWidth, fieldHeight;
  Color field;
  Color fieldAfterBlast;
  std::int16_t ScoreRecord::*clearFlag;
  const char* crashGlyph;  // Bgtxt when an enemy lands on the ship
  const char* crashTitle;
  const char* clearTitle;  // an ordinary clear
  const char* playInfo;    // txtInfo in play
};

// The two keys that step the ship between its five lanes, and the step that
// the second key makes (the first one steps the other way).
struct ShipControls {
  int backKey = 0;     // towards lane 0
  int forwardKey = 0;  // towards lane 4
  Spot step;
};

// The five-lane shooter of "QorvexBlast" and its turned variants.
//
// Every procedure keeps one order of steps for all variants; what a variant
// changes (where things start, wait and park, which way they move, the tests
// that decide a hit, a crash or a pass, and some texts) is asked of the
// virtual steps below. Their defaults are the upright game: the ship on the
// bottom row, enemies falling from above, the beam flying up.
class ShooterCore : public GameScene {
 public:
  void design() final;

  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload() override;
  void Form_KeyDown(int keyCode) override;
  void Form_KeyUp(int keyCode) override;

 protected:
  ShooterCore(std::string name, GameServices& services, const ShooterLook& look)
      : GameScene(std::move(name), Units::Pixels, services), look_(look) {}

  // ---- the scene's own make-up ----
  // The elements inside `Window`, topmost first: every scene gives these.
  virtual void designField() = 0;
  // Caption, colour and sizes of the window and the field `Window`.
  void designWindow();
  // At load: the outer window size, then the field's height and width.
  void sizeWindow();
  std::int16_t& clearFlag() { return scoreRec.*look_.clearFlag; }

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
  // Where the High blast throws enemy i, with the current `highRow`.
  virtual void blastEnemy(int i);
  // Sounded before the crash and pass reactions (nothing upright).
  virtual void alarmOnLoss() {}
  // At a game start: the title texts emptied.
  virtual void emptyTitleTexts();
  // The clear procedure. A variant that names it otherwise ("gameClere")
  // overrides this to call its own name, which runs ShooterCore::gameClear().
  virtual void gameClear();

  // ---- the procedures ----
  void TimePushX_Timer();
  void TimeEvent_Timer();
  void TimeEnemy_Timer();
  void TimeBeam_Timer();
  void gameStart();
  void highBlast();
  void gameOver();
  void pushXkey();

  void showScore();
  void showRest();
  void newBest();
  void parkBeamAndStopPlay();

  // ---- elements and timers ----
  Box Window;
  LabelArray Enemy;
  Label Beam, Myship, txtHisc, txtHighScore, txtTitle, txtEvent, txtInfo, txtScore, Bgtxt, txtRest;
  Timer TimePushX, TimeEvent, TimeEnemy, TimeBeam;

  // ---- scene state ----
  bool beamOn = false;
  bool pushX = false;
  bool pushZ = false;
  std::int16_t playFlag = 0;
  int shipPos = 0;
  std::uint8_t beamPos = 0;
  int score = 0;
  int hiScore = 0;
  std::int16_t restCount = 0;
  std::uint8_t highRow = 0;
  std::uint8_t enemyPick = 0;

  static constexpr int kLanes = 5;
  static constexpr int kEnemyInterval = 1000;
  static constexpr int kEnemyFloor = 250;
  static constexpr int kClearScore = 20000;
  static constexpr int kPerfectScore = 30000;
  static constexpr const char* kTitleInfo = "Start:Z     Quit:X";

 private:
  const ShooterLook& look_;
  friend struct ShooterProbe;  // tests read and set the scene state
};

}  // namespace qs
