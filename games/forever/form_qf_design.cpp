#include "games/forever/form_qf.h"
#include "runtime/fonts.h"

namespace qs {

namespace {
constexpr Color kGrey = Color::rgb(128, 128, 128);
constexpr Color kBackdrop = Color::rgb(224, 224, 224);
}  // namespace

// The field is designed at its loaded size. Topmost first.
void FormQF::design() {
  designWindow();

  const Font glyph = wingdings(27.75, true);
  Window.place(Power, "Power", {"{", glyph, Align::Centre, colors::black, {288, 232, 33, 33}});
  Window.place(Skull, "Skull", {"N", wingdings(36, true), Align::Centre, colors::black, {256, 216, 33, 49}});
  Window.place(txtBoss, "txtBoss", {"J", wingdings(72, true), Align::Centre, colors::black, {296, 0, 121, 121}});
  Window.place(Enemy, "Enemy", {"A", glyph, Align::Centre, colors::black, {0, 0, 33, 33}});
  Window.place(Beam, "Beam", {"W", gothic(24, true), Align::Centre, colors::black, {224, 232, 33, 33}});
  Window.place(Myship, "Myship", {">", glyph, Align::Centre, colors::black, {96, 224, 33, 33}, false});
  Window.place(txtHisc, "txtHisc", {"10000", gothic(11.25), Align::Right, kGrey, {168, 24, 49, 17}});
  Window.place(txtHighScore, "txtHighScore", {"HighScore:", gothic(11.25), Align::Left, kGrey, {104, 24, 73, 17}});
  Window.place(txtTitle, "txtTitle", {"QorvexBlast", gothic(21.75, true), Align::Centre, kGrey, {32, 40, 161, 33}});
  Window.place(txtEvent, "txtEvent", {"Push Z or X", gothic(21.75, true), Align::Centre, kGrey, {32, 184, 161, 33}});
  Window.place(txtInfo, "txtInfo",
               {"Start:Z     Quit:X", gothic(14.25, true), Align::Centre, kGrey, {32, 208, 161, 25}});
  Window.place(Label1, "Label1", {"Forever", gothic(48, true), Align::Centre, colors::black, {0, 48, 217, 65}});
  Window.place(txtScore, "txtScore", {"", gothic(21.75), Align::Right, kGrey, {64, 120, 153, 33}});
  Window.place(Bgtxt, "Bgtxt", {"J", wingdings(72, true), Align::Centre, kBackdrop, {0, 64, 217, 161}});
  Window.place(Label2, "Label2", {"", gothic(11.25), Align::Right, kGrey, {128, 8, 89, 17}});

  addTimer(TimeBoss, "TimeBoss", 250, false, [this] { TimeBoss_Timer(); });
  addPlayTimers();
}

}  // namespace qs
