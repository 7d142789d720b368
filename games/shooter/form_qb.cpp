#include "games/shooter/form_qb.h"

#include "runtime/fonts.h"

namespace qs {
namespace {
constexpr Color kFieldGrey = Color::rgb(128, 128, 128);
constexpr Color kText = Color::rgb(192, 192, 192);
constexpr Color kBackdrop = Color::rgb(64, 64, 64);
// The system colour of inactive title bars that X's release gives the field
// stands for the field's own grey. The field keeps its design height.
// clang-format off
constexpr ShooterLook kLook{{"QorvexBlast", 2560, 4350, 165, 265, kFieldGrey, "R", "Crash!!"},
                            kFieldGrey, &ScoreRecord::clearQB, "Cleared!!", "Beam:Z     High:X"};
// clang-format on
}  // namespace

FormQB::FormQB(GameServices& services) : ShooterCore("FormQB", services, kLook) {}

// Topmost first.
void FormQB::designField() {
  Window.place(Enemy, "Enemy", {"R", wingdings(27.75, true), Align::Centre, colors::black, {0, 0, 33, 33}});
  Window.place(Beam, "Beam", {"! !", gothic(24, true), Align::Centre, colors::black, {168, 232, 33, 33}});
  Window.place(Myship, "Myship", {">", wingdings(27.75, true), Align::Centre, colors::black, {64, 224, 33, 33}, false});
  Window.place(txtHisc, "txtHisc", {"10000", gothic(11.25), Align::Right, kText, {112, 24, 49, 17}});
  Window.place(txtHighScore, "txtHighScore", {"HighScore:", gothic(11.25), Align::Left, kText, {48, 24, 73, 17}});
  Window.place(txtTitle, "txtTitle", {"QorvexBlast", gothic(21.75, true), Align::Centre, kText, {0, 40, 161, 33}});
  Window.place(txtEvent, "txtEvent", {"Push Z or X", gothic(21.75, true), Align::Centre, kText, {0, 184, 161, 33}});
  Window.place(txtInfo, "txtInfo",
               {"Start:Z     Quit:X", gothic(14.25, true), Align::Centre, kText, {0, 208, 161, 25}});
  Window.place(txtScore, "txtScore", {"", gothic(21.75), Align::Right, kText, {8, 120, 153, 33}});
  Window.place(Bgtxt, "Bgtxt", {"J", wingdings(72, true), Align::Centre, kBackdrop, {0, 80, 161, 97}});
  Window.place(txtRest, "txtRest", {"", gothic(21.75), Align::Right, kText, {128, 224, 33, 33}});
}

}  // namespace qs
