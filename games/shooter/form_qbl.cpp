#include "games/shooter/form_qbl.h"

#include "runtime/fonts.h"

namespace qs {
namespace {
constexpr Color kFieldBlue = Color::rgb(0, 0, 192);
constexpr Color kSprite = Color::rgb(0, 255, 255);
constexpr Color kText = Color::rgb(128, 128, 255);
constexpr Color kBackdrop = Color::rgb(0, 0, 128);
// clang-format off
constexpr ShooterLook kLook{{"QorvexBlast LEVEL", 4050, 2850, 264, 165, kFieldBlue, "B", "Dekopin!!"},
                            kFieldBlue, &ScoreRecord::clearQBL, "Mission Over!!", "Mssl:Z      High:X"};
// clang-format on
// The field is 264 wide: a beam at x = 264 (its 8th tick) is still in.
constexpr SidewaysField kSide{.beamWay = 1, .shipX = 8, .entryX = 264, .waitingX = 328, .beamLimit = 265};
}  // namespace

FormQBL::FormQBL(GameServices& services) : SidewaysShooter("FormQBL", services, kLook, kSide) {}

// Topmost first.
void FormQBL::designField() {
  Window.place(Enemy, "Enemy", {"B", wingdings(27.75, true), Align::Centre, kSprite, {232, 0, 33, 33}});
  Window.place(Beam, "Beam", {"*>", gothic(24, true), Align::Centre, kSprite, {0, 168, 33, 33}});
  Window.place(Myship, "Myship", {">", wingdings(27.75, true), Align::Centre, kSprite, {8, 64, 33, 33}, false});
  Window.place(txtEvent, "txtEvent", {"Push Z or X", gothic(21.75, true), Align::Centre, kText, {48, 120, 161, 33}});
  Window.place(txtTitle, "txtTitle",
               {"QorvexBlast LEVEL", gothic(21.75, true), Align::Centre, kText, {0, 32, 265, 33}});
  Window.place(txtInfo, "txtInfo",
               {"Start:Z     Quit:X", gothic(14.25, true), Align::Centre, kText, {48, 144, 161, 25}});
  Window.place(txtScore, "txtScore", {"", gothic(21.75), Align::Left, kText, {0, 0, 153, 33}});
  Window.place(txtHighScore, "txtHighScore", {"HighScore:", gothic(11.25), Align::Left, kText, {144, 0, 73, 17}});
  Window.place(txtHisc, "txtHisc", {"10000", gothic(11.25), Align::Right, kText, {208, 0, 49, 17}});
  Window.place(Bgtxt, "Bgtxt", {"J", wingdings(72, true), Align::Centre, kBackdrop, {48, 32, 161, 97}});
  Window.place(txtRest, "txtRest", {"", gothic(21.75), Align::Left, kText, {0, 136, 33, 33}});
}

}  // namespace qs
