// The scene's frame: load, activation and unload, the keys, the 10 ms poll
// that starts, quits and fires, the title prompt and the start of a game.
#include <string>

#include "games/forever/form_qf.h"
#include "runtime/keys.h"
#include "runtime/random.h"
#include "runtime/runtime.h"

namespace qs {

namespace {
// The enemy glyphs, by style.
constexpr const char* kStyles[] = {"A", "B", "@", "H", "I", "C"};
}  // namespace

// Only the key flags are reset: beamOn, the boss's directions and the rest of
// the state carry over from the last visit.
void FormQF::Form_Load() {
  app().randomize();
  pushX = false;
  pushZ = false;
  setWidth(kOuterWidth);
  setHeight(kOuterHeight);
  Window.setWidth(kFieldWidth);
  Bgtxt.setFontSize(100);
  txtBoss.setFontSize(100);
  readScores();
  if (isSet(scoreRec.clearQF)) {
    starIfCleared(scoreRec.clearQF);
    Label2.setCaption("SAMURAI");
  }
  setMusic("title.mid");
  hiScore = scoreRec.hiScoreQF >= kLeastBest ? scoreRec.hiScoreQF : kLeastBest;
  txtHisc.setCaption(std::to_string(hiScore));
  // Enemy(7) is made like the others but no rule ever shows it; Enemy(0)
  // keeps its design glyph until its first hit.
  Enemy[0].move(0, -kCell);
  for (int i = 1; i <= kColumns; ++i) {
    Enemy.load(i);
    Enemy[i].zOrder();
    Enemy[i].move(kCell * i, -kCell);
    EnemyStile(i);
  }
  playFlag = 0;
}

void FormQF::Form_Activate() { activateProtocol(); }

void FormQF::Form_Unload() { unloadProtocol(); }

// The ship steps on every key-down, auto-repeat included, only in play.
void FormQF::Form_KeyDown(int keyCode) {
  switch (keyCode) {
    case vbKeyLeft:
      if (shipPos > 0 && playFlag == kTrue) {
        Myship.setLeft(Myship.left() - kCell);
        --shipPos;
      }
      break;
    case vbKeyRight:
      if (shipPos < kColumns - 1 && playFlag == kTrue) {
        Myship.setLeft(Myship.left() + kCell);
        ++shipPos;
      }
      break;
    case vbKeyX:
      pushX = true;
      break;
    case vbKeyZ:
      pushZ = true;
      break;
    default:
      break;
  }
}

void FormQF::Form_KeyUp(int keyCode) {
  if (keyCode == vbKeyX) pushX = false;
  if (keyCode == vbKeyZ) pushZ = false;
}

// Z held fires again on the first poll after the beam is gone; the beam keeps
// the column it was fired in.
void FormQF::TimePushX_Timer() {
  if (playFlag == 0 && titleLoop.checkKeys(pushZ, pushX, [this] { gameStart(); })) return;
  if (pushZ && playFlag == kTrue && !beamOn) {
    Beam.move(Myship.left(), Myship.top());
    beamPos = static_cast<std::uint8_t>(shipPos);
    beamOn = true;
  }
}

void FormQF::TimeEvent_Timer() {
  if (playFlag == 0) pushXkey();
}

void FormQF::pushXkey() {
  app().randomize();
  titleLoop.blink(txtEvent, "Push Z or X");
}

void FormQF::EnemyStile(int index) {
  enemyStyle = static_cast<std::uint8_t>(roundHalfEven(app().rnd() * 5));
  Enemy[index].setCaption(kStyles[enemyStyle]);
}

void FormQF::showScore() { txtScore.setCaption(std::to_string(score)); }

// The enemy tick's interval is not reset here but at every game end; beamOn,
// skullFlying and the boss's directions are left as the last game left them.
void FormQF::gameStart() {
  app().randomize();
  pushZ = false;
  score = 0;
  shipPos = 3;
  beamPos = 3;
  beamStep = kCell;
  bossPower = kBossPower;
  powerShown = false;
  Myship.setVisible(true);
  Myship.setLeft(96);
  TimeBeam.setInterval(100);
  Beam.setCaption("W");
  Myship.setCaption(hiScore >= kShinyBest ? "J" : ">");
  Bgtxt.setCaption("J");
  showScore();
  txtInfo.setCaption("Wave:Z");
  txtEvent.setCaption("");
  txtTitle.setCaption("");
  Label1.setCaption("");
  txtBoss.setCaption("J");
  playFlag = kTrue;
  TimeEvent.setEnabled(false);
  TimeEnemy.setEnabled(true);
  TimeBeam.setEnabled(true);
  // The wall opens where load or the last game's end left it.
  for (int i = 0; i < kColumns; ++i) Enemy[i].setVisible(true);
  setMusic("fbgm.mid");
  midi().Position("1");
  midi().ResumeM();
  show();
}

}  // namespace qs
