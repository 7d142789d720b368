#pragma once
#include <array>
#include <cstdint>

#include "games/forever/story_scene.h"

namespace qs {

// The epilogue: its lines 3 s apart, then "Fin..." in their place; after
// that Z goes back to the Forever shooter beneath.
class FormEnd : public StoryScene {
 public:
  static constexpr int kLines = 14;  // txtEpi(0) .. txtEpi(13)

  FormEnd() : StoryScene("FormEnd") {}
  void design() override;
  void Form_Load() override;
  void Form_Unload() override;

 private:
  void Timer1_Timer();
  void Timer2_Timer();
  void TimePushZ_Timer();

  std::array<Label, kLines> txtEpi;
  Label LabelFin, PushKey;
  Timer Timer1, Timer2, TimePushZ;
  std::uint8_t lineIndex = 0;
  bool finished = false;
  bool pushBlink = false;
};

}  // namespace qs
