// The shared frame: design, keys, the 10 ms poll that starts, quits and
// fires, the title prompt, and the steps of play that every lane shooter
// takes in the same order.
#include "games/shooter/lane_shooter.h"

#include <string>

#include "runtime/keys.h"
#include "runtime/random.h"
#include "runtime/runtime.h"
#include "runtime/window_frame.h"

namespace qs {

void LaneShooter::designWindow() {
  setDesignCaption(frame_.caption);
  setDesignSize(frame_.outerWidth, frame_.outerHeight);
  setClientSize(clientPixelsOfWidth(frame_.outerWidth), clientPixelsOfHeight(frame_.outerHeight));
  place(Window, "Window", {0, 0, frame_.fieldWidth, frame_.fieldHeight}, frame_.field, Units::Pixels);
}

void LaneShooter::addPlayTimers() {
  addTimer(TimePushX, "TimePushX", 10, true, [this] { TimePushX_Timer(); });
  pollTitleKeys(TimePushX, playFlag, pushZ, pushX);
  addTimer(TimeEvent, "TimeEvent", 250, true, [this] { TimeEvent_Timer(); });
  addTimer(TimeEnemy, "TimeEnemy", kEnemyInterval, false, [this] { TimeEnemy_Timer(); });
  addTimer(TimeBeam, "TimeBeam", 100, false, [this] { TimeBeam_Timer(); });
}

// The field is designed at its loaded size: setting it again changes nothing.
void LaneShooter::sizeWindow() {
  setWidth(frame_.outerWidth);
  setHeight(frame_.outerHeight);
  Window.setHeight(frame_.fieldHeight);
  Window.setWidth(frame_.fieldWidth);
}

void LaneShooter::Form_Activate() { activateProtocol(); }

void LaneShooter::Form_Unload() { unloadProtocol(); }

// The ship steps on every key-down, auto-repeat included, only in play.
void LaneShooter::Form_KeyDown(int keyCode) {
  const ShipControls c = shipControls();
  if (keyCode == c.backKey) {
    if (playFlag == kTrue && shipPos > 0) {
      Myship.move(Myship.left() - c.step.x, Myship.top() - c.step.y);
      --shipPos;
    }
  } else if (keyCode == c.forwardKey) {
    if (playFlag == kTrue && shipPos < lanes_ - 1) {
      Myship.move(Myship.left() + c.step.x, Myship.top() + c.step.y);
      ++shipPos;
    }
  } else if (keyCode == vbKeyX) {
    pushX = true;
    xPressed();
  } else if (keyCode == vbKeyZ) {
    pushZ = true;
  }
}

void LaneShooter::Form_KeyUp(int keyCode) {
  if (keyCode == vbKeyX) {
    pushX = false;
    xReleased();
  } else if (keyCode == vbKeyZ) {
    pushZ = false;
  }
}

// The 10 ms poll reads the held keys. In the title it looks at playFlag once,
// so Z and X held together start a game and then leave the scene. Z held
// fires again on the first poll after the beam is gone; the beam keeps the
// lane it was fired in.
void LaneShooter::TimePushX_Timer() {
  if (playFlag == 0) titleLoop.checkKeys(pushZ, pushX, [this] { gameStart(); });
  if (!beamOn && pushZ && playFlag == kTrue) {
    Beam.move(Myship.left(), Myship.top());
    beamPos = static_cast<std::uint8_t>(shipPos);
    beamOn = true;
  }
}

void LaneShooter::TimeEvent_Timer() {
  if (playFlag == 0) pushXkey();
}

// Shown for 250 ms, hidden for 250 ms, starting shown; each blink reseeds
// the random generator.
void LaneShooter::pushXkey() {
  app().randomize();
  titleLoop.blink(txtEvent, "Push Z or X");
}

void LaneShooter::showScore() { txtScore.setCaption(std::to_string(score)); }

// The Z press that started the game does not fire. beamOn is left as the
// last game left it: a beam parked in flight climbs out before the next shot.
void LaneShooter::openGame(int lane) {
  app().randomize();
  pushZ = false;
  score = 0;
  shipPos = lane;
  beamPos = static_cast<std::uint8_t>(lane);
  Myship.setVisible(true);
  placeShipAtStart();
}

// The enemies start where load or the last game's end left them.
void LaneShooter::startPlay(const char* tune) {
  playFlag = kTrue;
  TimeEvent.setEnabled(false);
  TimeEnemy.setEnabled(true);
  TimeBeam.setEnabled(true);
  for (int i = 0; i < lanes_; ++i) Enemy[i].setVisible(true);
  setMusic(tune);
  midi().Position("1");
  midi().ResumeM();
  show();
}

void LaneShooter::parkBeam() {
  const Spot park = beamPark();
  Beam.move(park.x, park.y);
}

// The hit test runs on every tick, a beam in flight or not.
bool LaneShooter::beamStrikes() {
  if (beamOn) {
    const Spot s = beamStep();
    Beam.move(Beam.left() + s.x, Beam.top() + s.y);
  }
  if (beamOut()) {
    parkBeam();
    beamOn = false;
  }
  Label& enemy = Enemy[beamPos];
  if (!beamHits(enemy)) return false;
  playSound("hit.wav", SoundMode::Background);
  parkBeam();
  beamOn = false;
  enemy.setVisible(false);
  const Spot gone = enemyDestroyed();
  enemy.move(gone.x, gone.y);
  return true;
}

// The interval runs in 5 ms steps from its design value, so it never passes the floor.
void LaneShooter::scoreHit(int floor) {
  score += 100;
  showScore();
  if (TimeEnemy.interval() > floor) TimeEnemy.setInterval(TimeEnemy.interval() - 5);
}

// At most one enemy comes back per tick; then every enemy steps, hidden ones
// too. A loss does not stop the loop: the enemies after the one that ended
// the game still step from where gameOver put them.
void LaneShooter::stepEnemies() {
  enemyPick = static_cast<std::uint8_t>(roundHalfEven(app().rnd() * (lanes_ - 1)));
  Label& picked = Enemy[enemyPick];
  if (!picked.visible()) {
    const Spot s = enemyStart(enemyPick);
    picked.move(s.x, s.y);
    picked.setVisible(true);
  }
  const Spot step = enemyStep();
  for (int i = 0; i < lanes_; ++i) {
    Label& enemy = Enemy[i];
    enemy.move(enemy.left() + step.x, enemy.top() + step.y);
    if (crashes(enemy)) crash();
    if (passed(enemy)) {
      alarmOnLoss();
      Bgtxt.setCaption("L");
      txtTitle.setCaption("Mayday!!");
      gameOver();
    }
  }
}

void LaneShooter::crash() {
  alarmOnLoss();
  Myship.setCaption("N");
  Bgtxt.setCaption(frame_.crashGlyph);
  txtTitle.setCaption(frame_.crashTitle);
  gameOver();
}

// The enemies' visibility stays.
void LaneShooter::stopForLoss() {
  playSound("miss.wav", SoundMode::Wait);
  midi().Pause();
  playFlag = 0;
  waitEnemies();
}

void LaneShooter::waitEnemies() {
  for (int i = 0; i < lanes_; ++i) {
    const Spot s = enemyWaiting(i);
    Enemy[i].move(s.x, s.y);
  }
}

void LaneShooter::stopPlay() {
  TimeEnemy.setEnabled(false);
  TimeEnemy.setInterval(kEnemyInterval);
  TimeBeam.setEnabled(false);
  TimeEvent.setEnabled(true);
}

bool LaneShooter::newBest() {
  if (score <= hiScore) return false;
  txtHisc.setCaption(std::to_string(score));
  hiScore = score;
  return true;
}

// txtScore keeps the final score.
void LaneShooter::showGameOver() {
  Bgtxt.setCaption("U");
  txtInfo.setCaption(kTitleInfo);
  txtTitle.setCaption("Game Over");
  playSound("gameover.wav", SoundMode::Wait);
}

}  // namespace qs
