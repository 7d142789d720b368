// The upright rules: the ship on the bottom row moving left and right, enemies
// falling, the beam flying up. Variants turn the field by overriding these.
#include "games/shooter/shooter_core.h"
#include "runtime/keys.h"

namespace qs {

ShipControls LaneShooter::shipControls() const { return {vbKeyLeft, vbKeyRight, {32, 0}}; }

// The start lane's column; the ship keeps its row.
void LaneShooter::placeShipAtStart() { Myship.setLeft(32 * shipPos); }

bool LaneShooter::beamOut() const { return Beam.top() < 0; }

// Also true for an enemy already below the beam.
bool LaneShooter::beamHits(const Label& enemy) const {
  return enemy.top() + 16 >= Beam.top() && Beam.left() == enemy.left();
}

// Tested only at the enemy tick: a ship that steps beside an enemy already on
// its row is not hit, and that enemy goes on below it.
bool LaneShooter::crashes(const Label& enemy) const {
  return enemy.top() == Myship.top() && enemy.left() == Myship.left();
}

// A destroyed enemy lies at x = 256 and never counts.
bool LaneShooter::passed(const Label& enemy) const { return enemy.top() > Myship.top() + 32 && enemy.left() < 256; }

void ShooterCore::blastEnemy(int i) {
  Enemy[i].move(32 * i, -32 * highRow);
  Enemy[i].setVisible(true);
}

void ShooterCore::emptyTitleTexts() {
  txtEvent.setCaption("");
  txtTitle.setCaption("");
}

}  // namespace qs
