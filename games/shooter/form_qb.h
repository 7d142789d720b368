#pragma once
#include "games/shooter/shooter_core.h"

namespace qs {

// "QorvexBlast": the upright shooter with its own layout and clear flag.
class FormQB final : public ShooterCore {
 public:
  explicit FormQB(GameServices& services) : ShooterCore("FormQB", services) {}

 protected:
  void designWindow() override;
  void designField() override;
  void sizeWindow() override;
  std::int16_t& clearFlag() override { return scoreRec.clearQB; }
};

}  // namespace qs
