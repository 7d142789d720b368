#include "games/samurai/form_sam.h"
#include "runtime/fonts.h"
#include "runtime/window_frame.h"

namespace qs {

namespace {
constexpr Color kBack = Color::bgr(0x00800080);
constexpr Color kText = Color::bgr(0x00FF80FF);
constexpr Color kGlyph = Color::bgr(0x00FFC0FF);
constexpr Color kBackdrop = Color::bgr(0x00400040);
constexpr Color kBanner = Color::bgr(0x00C000C0);
}  // namespace

// The whole scene in pixels, 320 x 208 inside a fixed frame.
void FormSam::design() {
  setDesignCaption("Qorvex侍");
  setDesignBack(kBack);
  setClientSize(kClientWidth, kClientHeight);
  setDesignSize(outerTwipsOfWidth(kClientWidth * kTwipsPerPixel), outerTwipsOfHeight(kClientHeight * kTwipsPerPixel));

  // Front to back. The texts name their faces in full-width letters.
  place(txtTitle, "txtTitle",
        {"Qorvex", minchoFullWidth(26.25, true, true), Align::Centre, kText, {72, 24, 169, 33}, true});
  place(txtEvent, "txtEvent",
        {"押下 Z 又 X", minchoFullWidth(21.75, true), Align::Centre, kText, {80, 120, 161, 33}, true});
  place(txtInfo, "txtInfo",
        {"開始:Z     終了:X", minchoFullWidth(14.25, true), Align::Centre, kText, {80, 160, 161, 25}, true});
  place(txtScore, "txtScore", {"0", minchoFullWidth(27.75, true), Align::Right, kText, {152, 0, 161, 33}, true});
  place(txtHisc, "txtHisc", {"", minchoFullWidth(11.25), Align::Left, kText, {8, 0, 145, 17}, true});
  place(Label1, "Label1", {"↑", minchoFullWidth(24), Align::Centre, kGlyph, {0, 184, 25, 25}, false});
  place(StageTop, "StageTop", {"___", gothicFullWidth(27.75, true), Align::Centre, kGlyph, {0, 40, 33, 41}, false});
  place(Katana, "Katana", {"", minchoFullWidth(27.75, true), Align::Left, kGlyph, {96, 72, 33, 41}, false});
  place(Samurai, "Samurai", {"", wingdings(27.75, true), Align::Centre, kGlyph, {64, 80, 33, 33}, true});
  place(StageUnd, "StageUnd", {"___", gothicFullWidth(27.75, true), Align::Centre, kGlyph, {0, 120, 33, 41}, false});
  place(StageMid, "StageMid", {"___", gothicFullWidth(27.75, true), Align::Centre, kGlyph, {0, 80, 33, 41}, false});
  place(txtSam, "txtSam", {"侍", minchoFullWidth(72, true), Align::Centre, kBackdrop, {56, 8, 193, 193}, true});
  place(Label2, "Label2", {"SAMURAI", minchoFullWidth(48, true), Align::Centre, kBanner, {16, 72, 289, 65}, true});

  addTimer(TimeRain, "TimeRain", 1000, true, [this] { TimeRain_Timer(); });
  addTimer(TimeEvent, "TimeEvent", 250, true, [this] { TimeEvent_Timer(); });
  addTimer(TimeSamurai, "TimeSamurai", 10, true, [this] { TimeSamurai_Timer(); });
  addTimer(TimeGame, "TimeGame", kFirstPeriod, false, [this] { TimeGame_Timer(); });
  addTimer(TimeKatana, "TimeKatana", 50, false, [this] { TimeKatana_Timer(); });
}

}  // namespace qs
