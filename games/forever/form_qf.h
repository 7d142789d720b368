#pragma once
#include <cstdint>

#include "qspe/game_scene.h"
#include "runtime/element.h"
#include "runtime/timer.h"

namespace qs {

// "QorvexBlast Forever": a wall of seven enemies falls on a ship that moves
// between seven columns and fires while Z is held. At 10000 points a boss
// comes that drifts over the upper field, drops skulls and takes 255 hits;
// its defeat ends the game with the ending scene. The best score is kept in
// the score file.
class FormQF : public GameScene {
 public:
  explicit FormQF(GameServices& services) : GameScene("FormQF", Units::Pixels, services) {}

  void design() override;
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload() override;
  void Form_KeyDown(int keyCode) override;
  void Form_KeyUp(int keyCode) override;

  static constexpr int kColumns = 7;
  static constexpr int kCell = 32;
  static constexpr int kFieldWidth = 224;
  static constexpr int kFieldHeight = 265;
  static constexpr int kOuterWidth = 3420, kOuterHeight = 4350;  // twips
  static constexpr int kEnemyInterval = 1000;
  static constexpr int kEnemyFloor = 500;
  static constexpr int kBossScore = 10000;
  static constexpr int kBossPower = 255;
  static constexpr int kLeastBest = 10000;
  static constexpr int kShinyBest = 50000;  // the smiling ship from this best on

 private:
  // The five timers.
  void TimePushX_Timer();
  void TimeEvent_Timer();
  void TimeBeam_Timer();
  void TimeEnemy_Timer();
  void TimeBoss_Timer();

  void pushXkey();
  void gameStart();
  void gameOver();
  void gameClear();
  void EnemyStile(int index);

  // The steps of the beam tick.
  void hitEnemy();
  void dropPower();
  void takePower();
  void bossAppears();
  void bossDefeated();
  // The steps of the boss tick.
  void launchSkull();
  void flySkull();
  void bounceBoss();

  void showScore();
  // A score above the best shown becomes the best and is kept in the record.
  void newBest();
  void parkEnemies();

  // The field and everything on it, front to back.
  Box Window;
  Label Power, Skull, txtBoss;
  LabelArray Enemy;
  Label Beam, Myship, txtHisc, txtHighScore, txtTitle, txtEvent, txtInfo, Label1, txtScore, Bgtxt, Label2;
  Timer TimeBoss, TimePushX, TimeEvent, TimeEnemy, TimeBeam;

  bool beamOn = false;
  bool pushX = false;
  bool pushZ = false;
  std::int16_t playFlag = 0;
  int shipPos = 0;
  std::uint8_t beamPos = 0;
  int score = 0;
  int hiScore = 0;
  std::uint8_t beamStep = 0;
  bool powerShown = false;
  int bossPower = 0;
  int bossDirX = 0;
  std::int16_t bossDirY = 0;
  std::int16_t skullFlying = 0;
  std::uint8_t enemyStyle = 0, powerRoll = 0, bossShot = 0, enemyPick = 0;

  friend struct ForeverProbe;  // tests read the scene state
};

}  // namespace qs
