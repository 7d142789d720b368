#pragma once
#include "form.h"

namespace qs {

// The game-select menu.
class FormMain : public Form {
 public:
  FormMain() : Form("FormMain") {}
  void design() override;
};

}  // namespace qs
