#pragma once
#include <array>
#include <cstdint>

#include "qspe/media_form.h"
#include "qspe/menu_entries.h"

namespace qs {

// The game-select menu: Left and Right step through seven entries, Z starts
// the shown game, X quits. Loaded once per run and hidden while a game is up.
class FormMain : public MediaForm {
 public:
  static constexpr int kEntries = static_cast<int>(kMenuEntryCount);

  explicit FormMain(GameServices& services) : MediaForm("FormMain", Units::Twips, services) {}
  void design() override;
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload() override;
  void Form_KeyDown(int keyCode) override;
  void Form_KeyUp(int keyCode) override;

 private:
  void SelectGame();
  void TimeTxt_Timer();
  void TimeEvent_Timer();
  void pushXkey();
  bool entryOpen(int index) const;

  Label Label3, Label2, Label1, txtEvent, txtTitle, LabelStar, Label8, txtBG;
  std::array<Image, kEntries> imgTitle;
  std::array<Image, 2> Ques;  // "Ques1" and "Ques2": the covers of the locked entries
  Timer TimeTxt, TimeEvent;

  int gameIndex = 0;
  std::uint64_t selectionSteps = 0;  // changes of gameIndex, for the title's poll
  std::uint8_t clearCount = 0;
  bool leftHeld = false;
  bool rightHeld = false;
  // Both blink flags start False when the scene is created and are never reset.
  bool arrowBlink = false;
  bool textBlink = false;
};

}  // namespace qs
