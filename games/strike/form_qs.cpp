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
    if (keyCode == vbKeyUp && shipPos > 2) stepCursor(0, -1);
    if (keyCode == vbKeyDown && shipPos < 6) stepCursor(0, 1);
    if (keyCode == vbKeyLeft && shipCol > 0) stepCursor(-1, 0);
    if (keyCode == vbKeyRight && shipCol < 2) stepCursor(1, 0);
  }
  if (keyCode == vbKeyZ) pushZ = -1;
  if (keyCode == vbKeyX) pushX = true;
}

// One cell across (dx) or down (dy); cell k lies in row k \ 3, column k mod 3.
void FormQS::stepCursor(int dx, int dy) {
  Myship.move(Myship.left() + kCell * dx, Myship.top() + kCell * dy);
  shipPos += dx + 3 * dy;
  shipCol = static_cast<std::uint8_t>(shipCol + dx);
}

void FormQS::Form_KeyUp(int keyCode) {
  if (keyCode == vbKeyZ) pushZ = 0;
  if (keyCode == vbKeyX) pushX = false;
}

}  // namespace qs
