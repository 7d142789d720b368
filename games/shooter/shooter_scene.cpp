// The five-lane shooter's design and load.
#include "games/shooter/shooter_core.h"

namespace qs {

void ShooterCore::design() {
  designWindow();
  designField();
  addPlayTimers();
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

}  // namespace qs
