#pragma once
#include <array>
#include <cstdint>

#include "games/forever/story_scene.h"

namespace qs {

// The intro "Emergency!!!": the alarm message line by line under a flashing
// "Caution!!"; Z held leaves it for the Forever shooter.
class FormFirst : public StoryScene {
 public:
  static constexpr int kLines = 8;  // seven message lines and an empty one

  FormFirst() : StoryScene("FormFirst") {}
  void design() override;
  void Form_Load() override;
  void Form_Unload() override;

 private:
  void Timer1_Timer();
  void Timer2_Timer();
  void TimePushZ_Timer();

  Label txtCaution;
  std::array<Label, kLines> Label2;
  Label txtPushKey;
  Timer Timer1, Timer2, TimePushZ;
  std::uint8_t lineIndex = 0;
  bool alarmBlink = false;  // never reset: a later visit may flash in the other phase
};

}  // namespace qs
