// The sideways rules, written once for both ways round: "ahead" is the
// beam's direction, so an enemy comes from ahead and is past once it is
// behind the ship.
#include "games/shooter/sideways_shooter.h"

#include "runtime/keys.h"

namespace qs {

ShipControls SidewaysShooter::shipControls() const { return {vbKeyUp, vbKeyDown, {0, 32}}; }

// Row 2.
void SidewaysShooter::placeShipAtStart() { Myship.move(side_.shipX, 64); }

bool SidewaysShooter::beamOut() const { return ahead(Beam.left()) > ahead(side_.beamLimit); }

// Also true for an enemy already behind the beam.
bool SidewaysShooter::beamHits(const Label& enemy) const {
  return ahead(enemy.left()) - 16 <= ahead(Beam.left()) && Beam.top() == enemy.top();
}

// Two steps behind the ship. A destroyed enemy lies below the field and never counts.
bool SidewaysShooter::passed(const Label& enemy) const {
  return ahead(enemy.left()) < ahead(Myship.left()) - 32 && enemy.top() < 167;
}

// Thrown beyond the edge the enemies come from: only the left edge moves, so
// a destroyed enemy stays hidden below the field.
void SidewaysShooter::blastEnemy(int i) {
  const int edge = side_.beamWay > 0 ? Window.width() : 0;
  Enemy[i].setLeft(edge + side_.beamWay * 32 * highRow);
}

}  // namespace qs
