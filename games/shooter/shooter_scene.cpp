// The shooter scene's frame: its design, load, activation and unload, the
// keys, the 10 ms poll that starts, quits and fires, and the title prompt.
#include "games/shooter/shooter_core.h"
#include "runtime/keys.h"
#include "runtime/runtime.h"
#include "runtime/window_frame.h"

namespace qs {

void ShooterCore::design() {
  designWindow();
  designField();
  addTimer(TimePushX, "TimePushX", 10, true, [this] { TimePushX_Timer(); });
  pollTitleKeys(TimePushX, playFlag, pushZ, pushX);
  addTimer(TimeEvent, "TimeEvent", 250, true, [this] { TimeEvent_Timer(); });
  addTimer(TimeEnemy, "TimeEnemy", kEnemyInterval, false, [this] { TimeEnemy_Timer(); });
  addTimer(TimeBeam, "TimeBeam", 100, false, [this] { TimeBeam_Timer(); });
}

void ShooterCore::designWindow() {
  setDesignCaption(look_.caption);
  setDesignSize(look_.outerWidth, look_.outerHeight);
  setClientSize(clientPixelsOfWidth(look_.outerWidth), clientPixelsOfHeight(look_.outerHeight));
  place(Window, "Window", {0, 0, look_.fieldWidth, look_.fieldHeight}, look_.field, Units::Pixels);
}

// The field is designed at its loaded size: setting it again changes nothing.
void ShooterCore::sizeWindow() {
  setWidth(look_.outerWidth);
  setHeight(look_.outerHeight);
  Window.setHeight(look_.fieldHeight);
  Window.setWidth(look_.fieldWidth);
}

// Only pushX is reset here: the rest of the scene state (beamOn, score,
// highRow, ...) is kept from the last visit. The best score starts again at
// 10000 on every load.
void ShooterCore::Form_Load() {
  pushX = false;
  sizeWindow();
  loadProtocol();
  starIfCleared(clearFlag());
  hiScore = 10000;
  Spot first = enemyStart(0);
  Enemy[0].move(first.x, first.y);
  for (int i = 1; i < kLanes; ++i) {
    Enemy.load(i);
    Enemy[i].zOrder();
    Enemy[i].setCaption(Enemy[0].caption());
    Spot s = enemyStart(i);
    Enemy[i].move(s.x, s.y);
  }
  playFlag = 0;
}

void ShooterCore::Form_Activate() { activateProtocol(); }

void ShooterCore::Form_Unload() { unloadProtocol(); }

// The ship steps on every key-down, auto-repeat included; X sets off a blast
// on every key-down in play while blasts are left.
void ShooterCore::Form_KeyDown(int keyCode) {
  const ShipControls c = shipControls();
  if (keyCode == c.backKey) {
    if (playFlag == kTrue && shipPos > 0) {
      Myship.move(Myship.left() - c.step.x, Myship.top() - c.step.y);
      --shipPos;
    }
  } else if (keyCode == c.forwardKey) {
    if (playFlag == kTrue && shipPos < kLanes - 1) {
      Myship.move(Myship.left() + c.step.x, Myship.top() + c.step.y);
      ++shipPos;
    }
  } else if (keyCode == vbKeyX) {
    pushX = true;
    if (playFlag == kTrue && restCount > 0) highBlast();
  } else if (keyCode == vbKeyZ) {
    pushZ = true;
  }
}

// The field gets its colour back on every X release, in play or not.
void ShooterCore::Form_KeyUp(int keyCode) {
  if (keyCode == vbKeyX) {
    pushX = false;
    Window.setBack(look_.fieldAfterBlast);
  } else if (keyCode == vbKeyZ) {
    pushZ = false;
  }
}

// The 10 ms poll reads the held keys. In the title it looks at playFlag once,
// so Z and X held together start a game and then leave the scene.
void ShooterCore::TimePushX_Timer() {
  if (playFlag == 0) titleLoop.checkKeys(pushZ, pushX, [this] { gameStart(); });
  if (!beamOn && pushZ && playFlag == kTrue) {
    Beam.move(Myship.left(), Myship.top());
    beamPos = static_cast<std::uint8_t>(shipPos);
    beamOn = true;
  }
}

void ShooterCore::TimeEvent_Timer() {
  if (playFlag == 0) pushXkey();
}

// Shown for 250 ms, hidden for 250 ms, starting shown; each blink reseeds
// the random generator.
void ShooterCore::pushXkey() {
  app().randomize();
  titleLoop.blink(txtEvent, "Push Z or X");
}

}  // namespace qs
