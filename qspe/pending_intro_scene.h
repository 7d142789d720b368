#pragma once
#include "runtime/form.h"

namespace qs {

// A stand-in for the story scene `FormFirst` until its own scene lands: the
// alarm caption on black, left for `FormQF` while Z is held.
class PendingIntroScene : public Form {
 public:
  PendingIntroScene() : Form("FormFirst") {}
  void design() override;
  void Form_Load() override;
  void Form_Unload() override;
  void Form_KeyDown(int keyCode) override;
  void Form_KeyUp(int keyCode) override;

 private:
  void TimePushZ_Timer();

  Label txtCaution, txtPushKey;
  Timer TimePushZ;
  bool zHeld = false;
};

}  // namespace qs
