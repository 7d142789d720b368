#pragma once
#include "runtime/form.h"

namespace qs {

// The splash: two 1500 ms ticks, then the menu.
class FormStartUp : public Form {
 public:
  FormStartUp() : Form("FormStartUp") {}
  void design() override;
  void Form_Load() override;

 private:
  void Timer1_Timer();

  Label Label3, Label2, Label1;
  Shape Shape1;
  Timer Timer1;
  bool splashShown = false;
};

}  // namespace qs
