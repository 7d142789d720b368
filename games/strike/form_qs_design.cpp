#include "games/strike/form_qs.h"
#include "runtime/fonts.h"
#include "runtime/window_frame.h"

namespace qs {

namespace {
constexpr Color kGlyph = Color::bgr(0x0080FF80);
constexpr Color kText = Color::bgr(0x0000FF00);
constexpr Color kBackdrop = Color::bgr(0x00004000);
constexpr Color kPanel = Color::bgr(0x00008000);
// The client area is one pixel narrower than the panel: the panel's right
// column is cut off. The outer height is set again at load.
constexpr int kClientWidth = 192, kClientHeight = 209;
constexpr int kOuterHeight = 3510;
static_assert(clientPixelsOfHeight(kOuterHeight) == kClientHeight);
}  // namespace

// The scene in pixels: a 193 x 209 panel fills the 192 x 209 client area.
void FormQS::design() {
  setDesignCaption("QorvexStrike!");
  setDesignBack(kPanel);
  setClientSize(kClientWidth, kClientHeight);
  setDesignSize(outerTwipsOfWidth(kClientWidth * kTwipsPerPixel), kOuterHeight);

  place(Window, "Window", {0, 0, 193, 209}, kPanel, Units::Pixels);
  // Front to back. The texts name their face in full-width letters.
  Window.place(Enemy, "Enemy", {"I", wingdings(48, true), Align::Centre, kGlyph, {0, 8, 65, 65}, false});
  Window.place(Label1, "Label1", {"", gothicFullWidth(21.75), Align::Right, kText, {104, 96, 81, 33}, true});
  Window.place(txtEvent, "txtEvent",
               {"Push Z or X", gothicFullWidth(21.75, true), Align::Centre, kText, {0, 160, 193, 25}, false});
  Window.place(txtHisc, "txtHisc", {"3000", gothicFullWidth(11.25), Align::Right, kText, {136, 0, 49, 17}, true});
  Window.place(Myship, "Myship", {">", wingdings(48, true), Align::Centre, kGlyph, {64, 72, 65, 65}, false});
  Window.place(Label2, "Label2", {"", gothicFullWidth(21.75), Align::Centre, kText, {0, 96, 49, 33}, true});
  Window.place(txtHi, "txtHi", {"HighScore:", gothicFullWidth(11.25), Align::Left, kText, {80, 0, 73, 17}, true});
  Window.place(txtTitle, "txtTitle",
               {"QorvexStrike!", gothicFullWidth(21.75, true, true), Align::Centre, kText, {0, 32, 185, 33}, true});
  Window.place(txtBG, "txtBG", {"J", wingdings(72, true), Align::Centre, kBackdrop, {0, 56, 193, 105}, true});
  Window.place(txtInfo, "txtInfo",
               {"Start:Z      Quit:X", gothicFullWidth(14.25, true), Align::Centre, kText, {0, 184, 193, 17}, true});

  addTimer(TimePushX, "TimePushX", 10, true, [this] { TimePushX_Timer(); });
  pollTitleKeys(TimePushX, playFlag, pushZ, pushX);
  addTimer(TimeEvent, "TimeEvent", 250, true, [this] { TimeEvent_Timer(); });
  addTimer(TimeGame, "TimeGame", 1000, false, [this] { TimeGame_Timer(); });
  addTimer(TimeRest, "TimeRest", 1000, false, [this] { TimeRest_Timer(); });
}

}  // namespace qs
