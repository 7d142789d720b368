// A game in play: its start, the High blast, the beam tick and the enemy tick.
#include <string>

#include "games/shooter/shooter_core.h"
#include "runtime/random.h"
#include "runtime/runtime.h"

namespace qs {

void ShooterCore::showRest() { txtRest.setCaption(std::to_string(restCount)); }

void ShooterCore::gameStart() {
  openGame(2);
  restCount = 3;
  Myship.setCaption(hiScore == kPerfectScore ? "J" : ">");
  Bgtxt.setCaption("J");
  showScore();
  showRest();
  txtInfo.setCaption(look_.playInfo);
  emptyTitleTexts();
  startPlay("bgm.mid");
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

void ShooterCore::TimeBeam_Timer() {
  if (beamStrikes()) scoreHit(kEnemyFloor);
}

// The clear test comes last and also runs in a tick that has already lost the game.
void ShooterCore::TimeEnemy_Timer() {
  stepEnemies();
  if (score >= kClearScore) gameClear();
}

}  // namespace qs
