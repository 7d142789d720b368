#pragma once
#include "games/shooter/shooter_core.h"

namespace qs {

// "QorvexBlast": the upright shooter with its own layout and clear flag.
class FormQB final : public ShooterCore {
 public:
  explicit FormQB(GameServices& services);

 protected:
  void designField() override;
};

}  // namespace qs
