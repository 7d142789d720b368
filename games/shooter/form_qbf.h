#pragma once
#include "games/shooter/sideways_shooter.h"

namespace qs {

// "QorvexBlast FINAL": turned the other way from LEVEL. The ship keeps near
// the right edge, the enemies come in from the left and the beam flies to
// the left; a crash or an enemy getting past also sounds the system beep.
class FormQBF final : public SidewaysShooter {
 public:
  explicit FormQBF(GameServices& services);

 protected:
  void designField() override;
  void alarmOnLoss() override;
};

}  // namespace qs
