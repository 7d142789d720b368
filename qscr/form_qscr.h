#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "runtime/form.h"

namespace qs {

// One of the characters the saver introduces: the pictograph printed on the
// window, the name shown in LabelName and the description typed into Display.
struct SaverCharacter {
  const char* glyph;
  const char* name;
  const char* description;
};

// The ten characters, by charIndex.
extern const std::array<SaverCharacter, 10> kSaverCharacters;

// The saver's window: black, borderless, over the whole screen and every
// other window, the cursor hidden. It prints the tape drive at its top-left
// corner; every 20 s it clears, prints one character drawn at random and
// types that character's description into Display, a letter every 100 ms.
// Any key, a click or the pointer moving away from where it was first seen
// ends the program at the next 50 ms tick.
//
// Hosted (drawn into a window a screen-saver host made), the host owns the
// pointer, the stacking and the ending: input does not end it, and neither
// the cursor nor the stacking is touched.
class FormQScr : public Form {
 public:
  FormQScr() : Form("FormQScr") {}
  void setHosted(bool hosted) { hosted_ = hosted; }
  bool hosted() const { return hosted_; }

  void design() override;
  void Form_Load() override;
  void Form_Unload() override;
  void Form_KeyDown(int keyCode) override;
  void Form_Click() override;
  void Form_MouseMove(int x, int y) override;

 private:
  void TimeMsg_Timer();
  void TimeChange_Timer();
  void TimeSaver_Timer();

  Box Display;  // the description is typed into it
  Label LabelName;
  Timer TimeMsg;
  Timer TimeChange;
  Timer TimeSaver;

  bool quitFlag = false;
  std::uint8_t charIndex = 0;
  std::string msgText;
  std::int16_t msgPos = 0;  // 0 idle, -1 finished, else the next character's 1-based position
  std::array<std::string, 10> charDesc;
  bool moveSeen = false;  // the first pointer event only records where the pointer is
  int lastX = 0, lastY = 0;
  bool hosted_ = false;
};

}  // namespace qs
