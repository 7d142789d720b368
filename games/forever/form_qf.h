#pragma once
#include <cstdint>

#include "games/shooter/lane_shooter.h"

namespace qs {

// "QorvexBlast Forever": a wall of seven enemies falls on a ship that moves
// between seven columns and fires while Z is held. At 10000 points a boss
// comes that drifts over the upper field, drops skulls and takes 255 hits;
// its defeat ends the game with the ending scene. The best score is kept in
// the score file.
//
// It shares the lane shooter's frame with the four shooters but is not one
// of them: it has seven lanes and no High blast (no blast counter, no white
// field, X only leaves the title); its enemy tick quickens down to 500 ms,
// not 250; its enemies take random glyphs and a power item may drop; the
// game is won by the boss's defeat, not at 20000 points, with no bonus and
// no perfect clear, and goes on to the ending scene with the music player let
// go; the best score is read from and kept in the score file, and the ship
// smiles from a best of 50000, not at exactly 30000.
class FormQF : public LaneShooter {
 public:
  explicit FormQF(GameServices& services);

  void design() override;
  void Form_Load() override;

  static constexpr int kColumns = 7;
  static constexpr int kCell = 32;
  static constexpr int kEnemyFloor = 500;
  static constexpr int kBossScore = 10000;
  static constexpr int kBossPower = 255;
  static constexpr int kLeastBest = 10000;
  static constexpr int kShinyBest = 50000;  // the smiling ship from this best on

 private:
  Spot beamPark() const override { return {224, 256}; }

  void TimeBeam_Timer() override;
  void TimeEnemy_Timer() override;
  void TimeBoss_Timer();

  void gameStart() override;
  void gameOver() override;
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

  // A score above the best shown becomes the best and is kept in the record.
  void keepBest();

  // The elements of its own, front to back with the shared ones.
  Label Power, Skull, txtBoss, Label1, Label2;
  Timer TimeBoss;

  bool powerShown = false;
  int bossPower = 0;
  int bossDirX = 0;
  std::int16_t bossDirY = 0;
  std::int16_t skullFlying = 0;
  std::uint8_t enemyStyle = 0, powerRoll = 0, bossShot = 0;

  friend struct ForeverProbe;  // tests read the scene state
};

}  // namespace qs
