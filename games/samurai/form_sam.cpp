#include "games/samurai/form_sam.h"

#include "runtime/keys.h"
#include "runtime/random.h"
#include "runtime/runtime.h"

namespace qs {

namespace {
const char* const kPrompt = "押下 Z 又 X";
const char* const kInfoTitle = "開始:Z     終了:X";
const char* const kInfoPlay = "刀:Z";
constexpr Color kBack = Color::bgr(0x00800080);
constexpr Color kFlash = Color::bgr(0x00FFFFFF);
}  // namespace

void FormSam::Form_Load() {
  pushX = false;
  pushZ = false;
  app().randomize();
  loadProtocol();
  txtSam.setFontSize(150);
  hiScore = scoreRec.hiScoreSam >= kStartHiScore ? scoreRec.hiScoreSam : kStartHiScore;
  stageNo = 1;
  life = 3;
  // A full-width colon here; a game's new best is shown with an ASCII one.
  txtHisc.setCaption("最高得点：" + std::to_string(hiScore));
  playFlag = 0;
  StageTop[0].setCaption("___");
  StageMid[0].setCaption("___");
  StageUnd[0].setCaption("___");
  for (int i = 1; i < kArrows; ++i) {
    Label1.load(i);
    Label1[i].setLeft(kArrowStep * i);
  }
  createCells();
}

void FormSam::Form_Unload() { unloadProtocol(); }

void FormSam::movePlayer(int dx, int dy) {
  Samurai.move(Samurai.left() + dx, Samurai.top() + dy);
  Katana.move(Katana.left() + dx, Katana.top() + dy);
}

// Up and Down change floor once per press: the held flag, cleared only on
// key-up, stops the keyboard's repeat from moving again.
void FormSam::Form_KeyDown(int keyCode) {
  switch (keyCode) {
    case vbKeyUp:
      if (stageNo > 0 && playFlag == kTrue && !upHeld) {
        movePlayer(0, -kFloor);
        stageNo -= 1;
        upHeld = true;
      }
      break;
    case vbKeyDown:
      if (stageNo < 2 && playFlag == kTrue && !downHeld) {
        movePlayer(0, kFloor);
        stageNo += 1;
        downHeld = true;
      }
      break;
    case vbKeyX: pushX = true; break;
    case vbKeyZ: pushZ = true; break;
    default: break;
  }
}

void FormSam::Form_KeyUp(int keyCode) {
  switch (keyCode) {
    case vbKeyUp: upHeld = false; break;
    case vbKeyDown: downHeld = false; break;
    case vbKeyX: pushX = false; break;
    case vbKeyZ:
      // Also on the title: the hidden sword is raised for the next game.
      pushZ = false;
      Katana.setCaption("|");
      swingStep = 0;
      break;
    default: break;
  }
}

void FormSam::gameStart() {
  Samurai.move(64, 80);
  Katana.move(96, 72);
  Katana.setVisible(true);
  stageNo = 1;
  life = 3;
  score = 0;
  txtTitle.setCaption("");
  txtSam.setCaption("侍");
  txtInfo.setCaption(kInfoPlay);
  txtEvent.setCaption("");
  Samurai.setCaption("J");
  Katana.setCaption("|");
  StageTop[0].setVisible(true);
  StageMid[0].setVisible(true);
  StageUnd[0].setVisible(true);
  Label1[0].setVisible(true);
  TimeGame.setInterval(kFirstPeriod);
  TimeGame.setEnabled(true);
  TimeKatana.setEnabled(true);
  playFlag = kTrue;
  for (int i = 1; i < kArrows; ++i) {
    Label1[i].setVisible(true);
    Label1[i].zOrder();
  }
  for (int i = 0; i < kCells; ++i) {
    for (int k = 0; k < 3; ++k) {
      Label& cell = floor(k)[i];
      cell.setCaption("___");
      cell.setVisible(true);
      cell.zOrder();
    }
  }
}

void FormSam::gameOver() {
  pushX = false;
  pushZ = false;
  txtTitle.setCaption("遊戯終焉");
  txtInfo.setCaption(kInfoTitle);
  txtEvent.zOrder();
  for (int i = 0; i < kCells; ++i) {
    StageTop[i].setCaption("___");
    StageMid[i].setCaption("___");
    StageUnd[i].setCaption("___");
  }
  TimeGame.setEnabled(false);
  TimeKatana.setEnabled(false);
  if (score > hiScore) {
    // One more than the score compared: the sword tick that called us adds
    // its point after we return, so the best matches the final score shown.
    hiScore = static_cast<std::int32_t>(score + 1);
    txtHisc.setCaption("最高得点:" + std::to_string(hiScore));
    scoreRec.hiScoreSam = hiScore;
  }
  playSound("gameover.wav", SoundMode::Wait);
  playFlag = 0;
}

// Every 50 ms in play: the face, the end of the game, a point, the sword.
void FormSam::TimeKatana_Timer() {
  if (life > 2) Samurai.setCaption("J");
  if (life == 2) Samurai.setCaption("K");
  if (life == 1) Samurai.setCaption("L");
  if (life <= 0 || stageNo == 3) {
    Samurai.setCaption("N");
    txtSam.setCaption("死");
    playSound("death.wav", SoundMode::Wait);
    gameOver();
  }
  // The point of the tick is added even in the tick that ended the game.
  score += 1;
  txtScore.setCaption(std::to_string(score));
  if (pushZ && playFlag == kTrue) {
    swingStep += 1;
    if (swingStep == 1) Katana.setCaption("|");
    if (swingStep == 2) Katana.setCaption("/");
    if (swingStep == 3) {
      Katana.setCaption("___");
      swingStep = 0;
    }
    // The cut lands on every tick Z is held, whatever the sword shows.
    cutPass();
  }
}

// Every 10 ms, always: the player's contact with the floors, then, while no
// game runs, Z starts and X leaves.
void FormSam::TimeSamurai_Timer() {
  contactPass();
  if (playFlag == 0) titleLoop.checkKeys(pushZ, pushX, [this] { gameStart(); });
}

void FormSam::TimeEvent_Timer() {
  if (playFlag == 0) pushXkey();
}

// The prompt is shown and blanked in turn through its caption.
void FormSam::pushXkey() {
  app().randomize();
  txtEvent.setCaption(kPrompt);
  txtEvent.setCaption(titleLoop.blinkShows() ? kPrompt : "");
}

// Every second, in play and out of it: the last flash ends, and about one
// second in 25 the sky flashes white with thunder until the next tick.
void FormSam::TimeRain_Timer() {
  setBack(kBack);
  const int n = roundHalfEven(100 * app().rnd());
  if (n == 28 || n == 57) {
    playSound("thndr1.wav", SoundMode::Background);
    setBack(kFlash);
  }
  if (n == 73 || n == 99) {
    playSound("thndr2.wav", SoundMode::Background);
    setBack(kFlash);
  }
}

}  // namespace qs
