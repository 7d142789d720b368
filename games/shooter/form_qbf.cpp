#include "games/shooter/form_qbf.h"

#include "runtime/fonts.h"
#include "runtime/runtime.h"

namespace qs {
namespace {
constexpr Color kFieldOlive = Color::rgb(192, 192, 0);
constexpr Color kSprite = Color::rgb(64, 64, 0);
constexpr Color kText = Color::rgb(255, 255, 128);
constexpr Color kBackdrop = Color::rgb(128, 128, 0);
// clang-format off
constexpr ShooterLook kLook{{"QorvexBlast FINAL", 4100, 2850, 268, 165, kFieldOlive, "!", "The pen is mighty!!"},
                            kFieldOlive, &ScoreRecord::clearQBF, "Congratulation!!", "Shot:Z     High:X"};
// clang-format on
// An enemy at x = 256, partly inside the 268-wide field, is not yet past.
constexpr SidewaysField kSide{.beamWay = -1, .shipX = 224, .entryX = -32, .waitingX = -64, .beamLimit = 0};
}  // namespace

FormQBF::FormQBF(GameServices& services) : SidewaysShooter("FormQBF", services, kLook, kSide) {}

// Topmost first.
void FormQBF::designField() {
  Window.place(Enemy, "Enemy", {"@", wingdings(27.75, true), Align::Right, kSprite, {0, 0, 33, 33}});
  Window.place(Beam, "Beam", {"Z", wingdings(27.75, true), Align::Centre, kSprite, {0, 168, 33, 33}});
  Window.place(Myship, "Myship", {">", wingdings(27.75, true), Align::Centre, kSprite, {224, 64, 33, 33}, false});
  Window.place(txtEvent, "txtEvent", {"Push Z or X", gothic(21.75, true), Align::Centre, kText, {48, 120, 161, 33}});
  Window.place(txtTitle, "txtTitle",
               {"QorvexBlast FINAL", gothic(21.75, true), Align::Centre, kText, {0, 32, 265, 33}});
  Window.place(txtInfo, "txtInfo",
               {"Start:Z     Quit:X", gothic(14.25, true), Align::Centre, kText, {48, 144, 161, 25}});
  Window.place(txtScore, "txtScore", {"", gothic(21.75), Align::Right, kText, {112, 0, 153, 33}});
  Window.place(txtHighScore, "txtHighScore", {"HighScore:", gothic(11.25), Align::Left, kText, {0, 0, 73, 17}});
  Window.place(txtHisc, "txtHisc", {"10000", gothic(11.25), Align::Right, kText, {64, 0, 49, 17}});
  Window.place(Bgtxt, "Bgtxt", {"J", wingdings(72, true), Align::Centre, kBackdrop, {48, 32, 161, 97}});
  Window.place(txtRest, "txtRest", {"", gothic(21.75), Align::Right, kText, {232, 136, 33, 33}});
}

// The beep comes before the ship, the backdrop and the title show the loss.
void FormQBF::alarmOnLoss() { app().beep(); }

}  // namespace qs
