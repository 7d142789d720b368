#pragma once
#include "games/shooter/shooter_core.h"

namespace qs {

// "QorvexReBirth": the upright shooter turned upside down, in reds. The ship
// sits on the top row, the enemies rise from the bottom and the beam is fired
// downwards; the title is split into "Qorvex" and a large "ReBirth".
class FormQRB final : public ShooterCore {
 public:
  explicit FormQRB(GameServices& services);

 protected:
  void designField() override;

  // Enemies stand on the rows 264 - 32k and wait one row lower after a game end.
  Spot enemyStart(int i) const override { return {32 * i, 264}; }
  Spot enemyWaiting(int i) const override { return {32 * i, 296}; }
  Spot enemyStep() const override { return {0, -32}; }
  Spot beamStep() const override { return {0, 32}; }
  bool beamOut() const override;
  bool beamHits(const Label& enemy) const override;
  bool passed(const Label& enemy) const override;
  void blastEnemy(int i) override;
  void emptyTitleTexts() override;

  Label txtReBirth;
};

}  // namespace qs
