#include "games/strike/form_qs.h"
#include "runtime/random.h"
#include "runtime/runtime.h"

namespace qs {

namespace {
const char* const kInfoTitle = "Start:Z      Quit:X";
const char* const kInfoPlay = "Shoot:Z   ";
}  // namespace

void FormQS::gameStart() {
  pushZ = 0;
  app().randomize();
  timeLeft = kGameSeconds;
  score = 0;
  handLeft = kHands;
  Myship.move(64, 72);
  shipPos = 4;
  shipCol = 1;
  Myship.setVisible(true);
  // A perfect game earlier in this visit shows as a smiling cursor; a best
  // score above 6000 does not.
  Myship.setCaption(hiScore == kPerfectScore ? "J" : ">");
  txtTitle.setCaption("");
  showHands();
  txtEvent.setCaption("");
  txtBG.setCaption("J");
  TimeGame.setInterval(1000);
  TimeGame.setEnabled(true);
  TimeRest.setEnabled(true);
  Label1.setCaption("0");
  Label2.setCaption(std::to_string(kGameSeconds));
  playFlag = true;
  setMusic("bgm.mid");
  midi().Position("1");
  midi().ResumeM();
  show();
}

void FormQS::GameEnd() {
  for (int i = 0; i < kCells; ++i) Enemy[i].setVisible(false);
  TimeGame.setEnabled(false);
  TimeRest.setEnabled(false);
  playFlag = false;
  txtInfo.setCaption(kInfoTitle);
  if (score > hiScore) {
    hiScore = score;
    txtHisc.setCaption(std::to_string(hiScore));
  }
}

void FormQS::showHands() { txtInfo.setCaption(std::string(kInfoPlay) + "HAND:" + std::to_string(handLeft)); }

// The 10 ms poll reads the held keys: Z starts and X leaves while no game
// runs; in play an armed strike is judged against the enemy shown.
void FormQS::TimePushX_Timer() {
  // With X held as well, the game just started is left at once; the scene is
  // then gone and nothing of it is touched any more.
  if (!playFlag && titleLoop.checkKeys(pushZ == -1, pushX, [this] { gameStart(); })) return;
  if (playFlag) {
    for (int i = 0; i < kCells; ++i)
      if (pushZ == -1 && Enemy[i].visible()) judgeStrike(i);
  }
}

// A strike made while no enemy is shown stays armed and lands here once the
// next enemy shows, unless Z is let go first.
void FormQS::judgeStrike(int i) {
  if (shipPos == i) {
    Enemy[i].setVisible(false);
    pushZ = 0;
    playSound("hit.wav", SoundMode::Background);
    // No floor: the game ends within a second of the 60th hit, long before
    // the interval could get short.
    TimeGame.setInterval(TimeGame.interval() - 5);
    handLeft = static_cast<std::int16_t>(handLeft - 1);
    showHands();
    score += kHitPoints;
    Label1.setCaption(std::to_string(score));
  } else {
    // Misses have no floor: the score may go below 0.
    playSound("miss.wav", SoundMode::Background);
    score -= kMissPoints;
    Label1.setCaption(std::to_string(score));
    pushZ = 0;
  }
}

// The enemy tick: one enemy in a cell drawn uniformly (the same cell may come
// twice running), or the end once the clock has run out.
void FormQS::TimeGame_Timer() {
  if (timeLeft > 0) {
    for (int i = 0; i < kCells; ++i) Enemy[i].setVisible(false);
    enemyNo = dropFraction(kCells * app().rnd());
    Enemy[enemyNo].setVisible(true);
  } else {
    midi().Pause();
    txtTitle.setCaption("Time is Up!!");
    txtBG.setCaption("U");
    Myship.setCaption("N");
    playSound("gameover.wav", SoundMode::Wait);
    GameEnd();
  }
}

// The clock. The 60 hits are only looked at here, once a second: hits landed
// before this tick still count, so "HAND:" can go below 0 and the score past
// 6000, and only exactly 6000 marks the game cleared.
void FormQS::TimeRest_Timer() {
  if (playFlag) {
    timeLeft -= 1;
    Label2.setCaption(std::to_string(dropFraction(timeLeft)));
  }
  if (handLeft < 1) {
    midi().Pause();
    playSound("clear.wav", SoundMode::Wait);
    txtTitle.setCaption("Destroyed!!");
    txtBG.setCaption("P");
    if (score == kPerfectScore) {
      Myship.setCaption("J");
      scoreRec.clearQS = kTrue;
    }
    GameEnd();
  }
}

void FormQS::TimeEvent_Timer() {
  if (!playFlag) pushXkey();
}

// The prompt blinks: shown and hidden in turn, every 250 ms.
void FormQS::pushXkey() { titleLoop.blink(txtEvent, "Push Z or X"); }

}  // namespace qs
