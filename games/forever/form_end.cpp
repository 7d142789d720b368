#include "games/forever/form_end.h"

#include "runtime/fonts.h"
#include "runtime/runtime.h"

namespace qs {
namespace {
constexpr int kFinLine = 13;  // the line count at which "Fin..." takes over

struct EpilogueLine {
  const char* text;
  int left;
  int top;
};
// Lines 11 to 13 are empty and lie where the empty line 7 does, line 12 at
// the left edge; line 13 is never shown.
constexpr EpilogueLine kEpilogue[FormEnd::kLines] = {
    {"戦いはついに終焉を迎えた。", 120, 120},
    {"デコピナス皇帝は", 120, 480},
    {"宇宙の藻屑と消えた。", 120, 840},
    {"しばらくして", 120, 1200},
    {"HEIAN公国とデコピナス星の間に", 120, 1560},
    {"停戦協定が結ばれ", 120, 1920},
    {"宇宙に再び平和が訪れた。", 120, 2280},
    {"", 120, 2640},
    {"Ostravinはその後", 120, 2880},
    {"再び出撃することは", 120, 3240},
    {"なかったという。", 120, 3600},
    {"", 120, 2640},
    {"", 0, 2640},
    {"", 120, 2640},
};
}  // namespace

void FormEnd::design() {
  designWindow("Epilogue");
  for (int i = 0; i < kLines; ++i) {
    const EpilogueLine& line = kEpilogue[i];
    place(txtEpi[static_cast<std::size_t>(i)], "txtEpi", storyLine(line.text, line.left, line.top, 3135), i);
  }
  place(LabelFin, "LabelFin",
        {"Fin...", minchoFullWidth(72, true, true), Align::Centre, colors::white, {120, 960, 3135, 1335}, false});
  place(PushKey, "PushKey", pushZPrompt({480, 2760, 2415, 495}));
  addTimer(Timer1, "Timer1", 3000, true, [this] { Timer1_Timer(); });
  addTimer(Timer2, "Timer2", 250, true, [this] { Timer2_Timer(); });
  addTimer(TimePushZ, "TimePushZ", 10, true, [this] { TimePushZ_Timer(); });
  TimePushZ.setPoll([this] { return std::optional<std::uint64_t>(std::uint64_t{finished} << 1 | zHeld); });
}

void FormEnd::Form_Load() {
  pushBlink = false;
  finished = false;
  zHeld = false;
  lineIndex = 0;
}

// The tick that shows line 12 also gives the whole text up for "Fin...",
// 39 s after the load; later ticks repeat that and change nothing.
void FormEnd::Timer1_Timer() {
  if (lineIndex < kFinLine) {
    txtEpi[lineIndex].setVisible(true);
    ++lineIndex;
  }
  if (lineIndex == kFinLine) {
    for (Label& line : txtEpi) line.setVisible(false);
    LabelFin.setVisible(true);
    finished = true;
  }
}

void FormEnd::Timer2_Timer() {
  if (!finished) return;
  PushKey.setVisible(pushBlink);
  pushBlink = !pushBlink;
}

// Z held from before "Fin..." is not forgotten: it leaves at the first poll
// after.
void FormEnd::TimePushZ_Timer() {
  if (finished && zHeld) unload();
}

// The Forever shooter stayed loaded beneath: it comes back in its title state.
void FormEnd::Form_Unload() { app().show(app().form("FormQF")); }

}  // namespace qs
