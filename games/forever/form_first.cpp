#include "games/forever/form_first.h"

#include "runtime/fonts.h"
#include "runtime/runtime.h"

namespace qs {
namespace {
constexpr Color kRed = Color::rgb(255, 0, 0);

// The alarm, one line every 360 twips from the top 840; the last is empty
// and lies at the top.
struct AlarmLine {
  const char* text;
  int top;
};
constexpr AlarmLine kAlarm[FormFirst::kLines] = {
    {"緊急事態発生！！", 840},
    {"デコピナス星から", 1200},
    {"デコピナス皇帝と兵士たちが", 1560},
    {"大挙して襲来！", 1920},
    {"MUROMACHIの被害は甚大！", 2280},
    {"出撃できる者は", 2640},
    {"直ちに迎え撃て！！", 3000},
    {"", 0},
};
}  // namespace

void FormFirst::design() {
  designWindow("Emergency!!!");
  place(txtCaution, "txtCaution", {"Caution!!", gothic(36, true, true), Align::Centre, kRed, {0, 0, 3135, 735}});
  for (int i = 0; i < kLines; ++i)
    place(Label2[static_cast<std::size_t>(i)], "Label2", storyLine(kAlarm[i].text, 0, kAlarm[i].top, 3255), i);
  place(txtPushKey, "txtPushKey", pushZPrompt({120, 3360, 3135, 495}));
  addTimer(Timer1, "Timer1", 1500, true, [this] { Timer1_Timer(); });
  addTimer(Timer2, "Timer2", 250, true, [this] { Timer2_Timer(); });
  addTimer(TimePushZ, "TimePushZ", 10, true, [this] { TimePushZ_Timer(); });
  TimePushZ.setPoll([this] { return std::optional<std::uint64_t>(zHeld); });
}

void FormFirst::Form_Load() {
  zHeld = false;
  lineIndex = 0;
}

void FormFirst::Timer1_Timer() {
  if (lineIndex > kLines - 1) return;
  Label2[lineIndex].setVisible(true);
  ++lineIndex;
}

// The window flashes red and black and the prompt blinks from the first tick.
void FormFirst::Timer2_Timer() {
  if (alarmBlink) {
    txtPushKey.setVisible(false);
    setBack(kRed);
    txtCaution.setFore(colors::black);
  } else {
    txtPushKey.setVisible(true);
    setBack(colors::black);
    txtCaution.setFore(kRed);
  }
  alarmBlink = !alarmBlink;
}

void FormFirst::TimePushZ_Timer() {
  if (zHeld) unload();
}

void FormFirst::Form_Unload() { app().show(app().form("FormQF")); }

}  // namespace qs
