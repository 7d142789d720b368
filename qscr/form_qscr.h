#pragma once
#include "runtime/form.h"

namespace qs {

// The saver's window: black, borderless, over the whole screen and every
// other window, the cursor hidden. Any key, a click or the pointer moving
// away from where it was first seen ends the program at the next 50 ms tick.
class FormQScr : public Form {
 public:
  FormQScr() : Form("FormQScr") {}
  void design() override;
  void Form_Load() override;
  void Form_Unload() override;
  void Form_KeyDown(int keyCode) override;
  void Form_Click() override;
  void Form_MouseMove(int x, int y) override;

 private:
  void TimeSaver_Timer();

  Box Display;  // the description is typed into it
  Label LabelName;
  Timer TimeSaver;

  bool quitFlag = false;
  bool moveSeen = false;  // the first pointer event only records where the pointer is
  int lastX = 0, lastY = 0;
};

}  // namespace qs
