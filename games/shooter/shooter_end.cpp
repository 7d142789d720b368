// The two ends of a game: lost and cleared.
#include <string>

#include "games/shooter/shooter_core.h"
#include "runtime/runtime.h"

namespace qs {

// hiScore lives as long as the scene: it is not stored.
void ShooterCore::newBest() {
  if (score > hiScore) {
    txtHisc.setCaption(std::to_string(score));
    hiScore = score;
  }
}

// The enemies are put back where the next game starts them; their visibility
// stays. The beam is parked but beamOn is left as it is.
void ShooterCore::gameOver() {
  playSound("miss.wav", SoundMode::Wait);
  midi().Pause();
  playFlag = 0;
  for (int i = 0; i < kLanes; ++i) {
    Spot s = enemyWaiting(i);
    Enemy[i].move(s.x, s.y);
  }
  parkBeamAndStopPlay();
  newBest();
  Bgtxt.setCaption("U");
  txtInfo.setCaption(kTitleInfo);
  txtTitle.setCaption("Game Over");
  playSound("gameover.wav", SoundMode::Wait);
}

// The beam goes to its park place; the enemy tick (back to its design
// interval) and the beam tick stop and the title prompt blinks again.
void ShooterCore::parkBeamAndStopPlay() {
  Spot park = beamPark();
  Beam.move(park.x, park.y);
  TimeEnemy.setEnabled(false);
  TimeEnemy.setInterval(kEnemyInterval);
  TimeBeam.setEnabled(false);
  TimeEvent.setEnabled(true);
}

// The blasts left pay 3000 each, and the clear 1000 more. Only a clear that
// ends on exactly 30000 (20000 at the tick with no blast spent) is perfect and
// sets the clear flag; an ordinary clear leaves the flag as it was.
void ShooterCore::gameClear() {
  midi().Pause();
  const int bonus = restCount * 3000;
  playFlag = 0;
  score = score + bonus + 1000;
  showScore();
  newBest();
  parkBeamAndStopPlay();
  Bgtxt.setCaption("P");
  txtInfo.setCaption(kTitleInfo);
  if (score == kPerfectScore) {
    txtTitle.setCaption("Perfect!!!");
    Myship.setCaption("J");
    clearFlag() = kTrue;
  } else {
    txtTitle.setCaption(look_.clearTitle);
  }
  for (int i = 0; i < kLanes; ++i) {
    Spot s = enemyWaiting(i);
    Enemy[i].move(s.x, s.y);
  }
  playSound("clear.wav", SoundMode::Wait);
}

}  // namespace qs
