#include "games/strike/form_qs.h"

#include "runtime/keys.h"

namespace qs {

void FormQS::Form_Load() {
  pushX = false;
  setHeight(3510);
  loadProtocol();
  // The best score belongs to this visit only: every load starts again at 3000.
  hiScore = kStartHiScore;
  starIfCleared(scoreRec.clearQS);
  for (int i = 1; i < kCells; ++i) {
    Enemy.load(i);
    Enemy[i].move(Enemy[0].left() + kCell * (i % 3), Enemy[0].top() + kCell * (i / 3));
    Enemy[i].zOrder();
  }
  playFlag = false;
}

void FormQS::Form_Activate() { activateProtocol(); }

void FormQS::Form_Unload() { unloadProtocol(); }

// Arrows step the cursor one cell, only in play and never past the grid's
// edge; each key-down of Z, the keyboard's repeats included, arms one strike.
void FormQS::Form_KeyDown(int keyCode) {
  if (playFlag) {
    switch (keyCode) {
      case vbKeyUp:
        if (shipPos > 2) {
          Myship.setTop(Myship.top() - kCell);
          shipPos -= 3;
        }
        break;
      case vbKeyDown:
        if (shipPos < 6) {
          Myship.setTop(Myship.top() + kCell);
          shipPos += 3;
        }
        break;
      case vbKeyLeft:
        if (shipCol > 0) {
          Myship.setLeft(Myship.left() - kCell);
          shipPos -= 1;
          shipCol -= 1;
        }
        break;
      case vbKeyRight:
        if (shipCol < 2) {
          Myship.setLeft(Myship.left() + kCell);
          shipPos += 1;
          shipCol += 1;
        }
        break;
      default:
        break;
    }
  }
  if (keyCode == vbKeyZ) pushZ = -1;
  if (keyCode == vbKeyX) pushX = true;
}

void FormQS::Form_KeyUp(int keyCode) {
  if (keyCode == vbKeyZ) pushZ = 0;
  if (keyCode == vbKeyX) pushX = false;
}

}  // namespace qs
