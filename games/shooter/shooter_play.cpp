// A game in play: its start, the High blast, the beam tick and the enemy tick.
#include <string>

#include "games/shooter/shooter_core.h"
#include "runtime/random.h"
#include "runtime/runtime.h"

namespace qs {

void ShooterCore::showScore() { txtScore.setCaption(std::to_string(score)); }

void ShooterCore::showRest() { txtRest.setCaption(std::to_string(restCount)); }

void ShooterCore::gameStart() {
  app().randomize();
  // The Z press that started the game does not fire. beamOn is left as the
  // last game left it: a beam parked in flight climbs out before the next shot.
  pushZ = false;
  score = 0;
  restCount = 3;
  shipPos = 2;
  beamPos = 2;
  Myship.setVisible(true);
  placeShipAtStart();
  Myship.setCaption(hiScore == kPerfectScore ? "J" : ">");
  Bgtxt.setCaption("J");
  showScore();
  showRest();
  txtInfo.setCaption(look_.playInfo);
  emptyTitleTexts();
  playFlag = kTrue;
  TimeEvent.setEnabled(false);
  TimeEnemy.setEnabled(true);
  TimeBeam.setEnabled(true);
  // The enemies start where load or the last game end left them.
  for (int i = 0; i < kLanes; ++i) Enemy[i].setVisible(true);
  setMusic("bgm.mid");
  midi().Position("1");
  midi().ResumeM();
  show();
}

// X in play: every enemy, destroyed ones too, is thrown back out of the field.
// Each enemy takes the row drawn after the one before it; the first takes the
// row left by the previous blast of this visit (0 before the first blast).
void ShooterCore::highBlast() {
  Window.setBack(colors::white);
  playSound("high.wav", SoundMode::Wait);
  for (int i = 0; i < kLanes; ++i) {
    blastEnemy(i);
    highRow = static_cast<std::uint8_t>(roundHalfEven(app().rnd() * 5 + 1));
  }
  score += 500;
  showScore();
  --restCount;
  showRest();
}

// The hit test runs on every tick, a beam in flight or not.
void ShooterCore::TimeBeam_Timer() {
  if (beamOn) {
    Spot s = beamStep();
    Beam.move(Beam.left() + s.x, Beam.top() + s.y);
  }
  const Spot park = beamPark();
  if (beamOut()) {
    Beam.move(park.x, park.y);
    beamOn = false;
  }
  Label& enemy = Enemy[beamPos];
  if (beamHits(enemy)) {
    playSound("hit.wav", SoundMode::Background);
    Beam.move(park.x, park.y);
    beamOn = false;
    enemy.setVisible(false);
    Spot gone = enemyDestroyed();
    enemy.move(gone.x, gone.y);
    score += 100;
    showScore();
    if (TimeEnemy.interval() > kEnemyFloor + 4) TimeEnemy.setInterval(TimeEnemy.interval() - 5);
  }
}

// One enemy may come back, then every enemy moves a step, hidden ones too.
// A loss does not stop the loop: the enemies after the one that ended the
// game still step from where gameOver put them. The clear test comes last and
// also runs in a tick that has already lost the game.
void ShooterCore::TimeEnemy_Timer() {
  enemyPick = static_cast<std::uint8_t>(roundHalfEven(app().rnd() * 4));
  Label& picked = Enemy[enemyPick];
  if (!picked.visible()) {
    Spot s = enemyStart(enemyPick);
    picked.move(s.x, s.y);
    picked.setVisible(true);
  }
  const Spot step = enemyStep();
  for (int i = 0; i < kLanes; ++i) {
    Label& enemy = Enemy[i];
    enemy.move(enemy.left() + step.x, enemy.top() + step.y);
    if (crashes(enemy)) {
      alarmOnLoss();
      Myship.setCaption("N");
      Bgtxt.setCaption(look_.crashGlyph);
      txtTitle.setCaption(look_.crashTitle);
      gameOver();
    }
    if (passed(enemy)) {
      alarmOnLoss();
      Bgtxt.setCaption("L");
      txtTitle.setCaption("Mayday!!");
      gameOver();
    }
  }
  if (score >= kClearScore) gameClear();
}

}  // namespace qs
