// A game in play: the beam tick, the enemy tick, the boss tick and the two
// ends of a game.
#include "games/forever/form_qf.h"
#include "runtime/random.h"
#include "runtime/runtime.h"

namespace qs {

namespace {
// Where the beam and the boss's things wait after a lost game.
constexpr int kBeamParkX = 224;
constexpr int kOffField = 328;
}  // namespace

// The hit tests run on every tick, a beam in flight or not; a parked beam
// (left 224) meets no enemy of the seven columns.
void FormQF::TimeBeam_Timer() {
  if (beamStrikes()) hitEnemy();
  takePower();
  if (txtBoss.top() + 120 >= Beam.top() && Beam.top() + 32 >= txtBoss.top() && Beam.left() + 32 >= txtBoss.left() &&
      txtBoss.left() + 120 >= Beam.left()) {
    parkBeam();
    beamOn = false;
    txtBoss.setCaption("L");
    --bossPower;
    playSound("miss.wav", SoundMode::Background);
  }
  if (score == kBossScore) bossAppears();
  if (bossPower == 0) bossDefeated();
  // The item falls on every tick, also parked outside the field, and also on
  // the tick that cleared the game.
  Power.setTop(Power.top() + 8);
}

// After the shared hit: the destroyed enemy's new glyph, its points and the
// power item's roll.
void FormQF::hitEnemy() {
  EnemyStile(beamPos);
  scoreHit(kEnemyFloor);
  if (score > kBossScore && !powerShown) dropPower();
}

// One roll in ten per hit drops the item on top of a column 0..5.
void FormQF::dropPower() {
  powerRoll = static_cast<std::uint8_t>(dropFraction(app().rnd() * 10));
  if (powerRoll != 5) return;
  Power.move(kCell * dropFraction(app().rnd() * 6), 0);
  powerShown = true;
}

void FormQF::takePower() {
  if (Power.top() + 28 >= Myship.top() && Myship.top() + 16 >= Power.top() && Power.left() + 20 >= Myship.left() &&
      Myship.left() + 20 >= Power.left()) {
    TimeBeam.setInterval(50);
    Beam.setCaption("A");
    Myship.setCaption("<");
    Power.move(288, 0);
    playSound("pow.wav", SoundMode::Wait);
  }
}

// Only the hit that makes exactly 10000 calls the boss; the 100 added here
// keeps it from coming twice, and is not shown until the next hit.
void FormQF::bossAppears() {
  score += 100;
  txtBoss.move(48, 64);
  Bgtxt.setCaption("");
  playSound("appear.wav", SoundMode::Wait);
  TimeBoss.setEnabled(true);
  bossDirX = 1;
  bossDirY = -1;
}

void FormQF::bossDefeated() {
  midi().Pause();
  for (int i = 0; i < 3; ++i) playSound("appear.wav", SoundMode::Wait);
  score += 10000;
  // After a clear Z must be pressed anew; after a loss a held Z starts again.
  pushZ = false;
  hide();
  gameClear();
}

// No clear by score: only the boss's defeat wins the game.
void FormQF::TimeEnemy_Timer() { stepEnemies(); }

void FormQF::TimeBoss_Timer() {
  bossShot = static_cast<std::uint8_t>(roundHalfEven(app().rnd() * 5));
  txtBoss.setCaption(bossPower <= 100 ? "L" : bossPower <= 200 ? "K" : "J");
  launchSkull();
  flySkull();
  if (Skull.top() + 16 >= Myship.top() && Myship.top() + 16 >= Skull.top() && Skull.left() + 20 >= Myship.left() &&
      Myship.left() + 20 >= Skull.left()) {
    // skullFlying stays set until the parked skull falls past the bottom.
    Skull.move(288, 32);
    crash();
  }
  bounceBoss();
}

// One skull at a time, on one tick in ten, from the boss's middle.
void FormQF::launchSkull() {
  if (skullFlying != 0 || bossShot != 0) return;
  playSound("appear.wav", SoundMode::Background);
  Skull.move(txtBoss.left() + 64, txtBoss.top());
  skullFlying = kTrue;
}

// The skull falls on every tick, parked or not; past the bottom it is parked.
void FormQF::flySkull() {
  Skull.setTop(Skull.top() + 24);
  if (Skull.top() > Window.height()) {
    Skull.move(288, 32);
    skullFlying = 0;
  }
}

// A diagonal bounce over the upper half; the left edge turns only on -8
// exactly, which the 8-pixel steps from 48 always meet.
void FormQF::bounceBoss() {
  if (txtBoss.top() < -16) bossDirY = 1;
  if (txtBoss.top() + 121 >= Window.height() / 2) bossDirY = -1;
  if (txtBoss.left() == -8) bossDirX = 1;
  if (txtBoss.left() + 115 >= Window.width()) bossDirX = -1;
  txtBoss.move(txtBoss.left() + 8 * bossDirX, txtBoss.top() + 8 * bossDirY);
}

void FormQF::keepBest() {
  if (newBest()) scoreRec.hiScoreQF = score;
}

// The beam is parked but beamOn is left as it is: a beam parked in flight
// climbs out before the next game's first shot.
void FormQF::gameOver() {
  stopForLoss();
  Beam.move(kBeamParkX, 32);
  txtBoss.setLeft(kOffField);
  Skull.setLeft(kOffField);
  Power.setLeft(kOffField);
  TimeBoss.setEnabled(false);
  stopPlay();
  keepBest();
  showGameOver();
}

// The music player is let go: the next activation makes a new one with no
// tune, which plays nothing until a game sets its own. The power item is not
// parked: one falling when the boss died stays in the field and falls on in
// the next game. Only a clear by the plain ship marks the game cleared.
void FormQF::gameClear() {
  stopAndReleaseMidi();
  TimeBoss.setEnabled(false);
  txtBoss.setLeft(kOffField);
  Skull.setLeft(kOffField);
  playFlag = 0;
  showScore();
  keepBest();
  if (Myship.caption() == ">") scoreRec.clearQF = kTrue;
  Beam.move(288, 32);
  stopPlay();
  Bgtxt.setCaption("J");
  Myship.setCaption("");
  txtScore.setCaption("");
  txtTitle.setCaption("QorvexBlast");
  Label1.setCaption("Forever");
  waitEnemies();
  // The ending scene shows this one again, in its title state, when it closes.
  Form& ending = app().form("FormEnd");
  app().load(ending);
  app().show(ending);
}

}  // namespace qs
