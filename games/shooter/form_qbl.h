#pragma once
#include "games/shooter/sideways_shooter.h"

namespace qs {

// "QorvexBlast LEVEL": the ship keeps to the left edge, the enemies come in
// from the right and the beam flies to the right.
class FormQBL final : public SidewaysShooter {
 public:
  explicit FormQBL(GameServices& services);

 protected:
  void designField() override;
};

}  // namespace qs
