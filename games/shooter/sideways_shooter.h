#pragma once
#include "games/shooter/shooter_core.h"

namespace qs {

// Where a sideways field puts things, along x; the rows are 32 apart in y.
struct SidewaysField {
  int beamWay;    // 1: the beam flies right and the enemies come from the right; -1: the other way round
  int shipX;      // the ship's left edge, all game long
  int entryX;     // where an enemy enters, at load and when it comes back
  int waitingX;   // where the enemies wait after a game end
  int beamLimit;  // the beam has left the field once it is beyond this x
};

// The shooter turned on its side. The ship keeps to one edge of a wide, low
// field and steps between five rows with Up and Down; the enemies come in
// from the other edge, one step nearer per enemy tick, and the beam flies
// away from the ship. Destroyed enemies and the spent beam lie below the
// field. The clear is called `gameClere` in these scenes.
class SidewaysShooter : public ShooterCore {
 protected:
  SidewaysShooter(std::string name, GameServices& services, const ShooterLook& look, const SidewaysField& field)
      : ShooterCore(std::move(name), services, look), side_(field) {}

  Spot enemyStart(int i) const override { return {side_.entryX, 32 * i}; }
  Spot enemyWaiting(int i) const override { return {side_.waitingX, 32 * i}; }
  Spot enemyDestroyed() const override { return {0, 256}; }
  Spot enemyStep() const override { return {-32 * side_.beamWay, 0}; }
  ShipControls shipControls() const override;
  void placeShipAtStart() override;
  Spot beamStep() const override { return {32 * side_.beamWay, 0}; }
  bool beamOut() const override;
  Spot beamPark() const override { return {0, 168}; }
  bool beamHits(const Label& enemy) const override;
  bool passed(const Label& enemy) const override;
  void blastEnemy(int i) override;
  void gameClear() override { gameClere(); }

  void gameClere() { ShooterCore::gameClear(); }

 private:
  // How far x lies in the beam's direction.
  int ahead(int x) const { return side_.beamWay * x; }

  const SidewaysField& side_;
};

}  // namespace qs
