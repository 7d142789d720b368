// The two ends of a game: lost and cleared. hiScore lives as long as the
// scene: it is not stored.
#include "games/shooter/shooter_core.h"
#include "runtime/runtime.h"

namespace qs {

// The beam is parked but beamOn is left as it is.
void ShooterCore::gameOver() {
  stopForLoss();
  parkBeam();
  stopPlay();
  newBest();
  showGameOver();
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
  parkBeam();
  stopPlay();
  Bgtxt.setCaption("P");
  txtInfo.setCaption(kTitleInfo);
  if (score == kPerfectScore) {
    txtTitle.setCaption("Perfect!!!");
    Myship.setCaption("J");
    clearFlag() = kTrue;
  } else {
    txtTitle.setCaption(look_.clearTitle);
  }
  waitEnemies();
  playSound("clear.wav", SoundMode::Wait);
}

}  // namespace qs
