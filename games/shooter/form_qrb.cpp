#include "games/shooter/form_qrb.h"

#include "runtime/fonts.h"

namespace qs {
namespace {
constexpr Color kFieldRed = Color::rgb(192, 0, 0);
constexpr Color kSprite = Color::rgb(255, 192, 192);
constexpr Color kText = Color::rgb(255, 128, 128);
constexpr Color kBackdrop = Color::rgb(128, 0, 0);
// clang-format off
constexpr ShooterLook kLook{{"QorvexReBirth", 2560, 4350, 165, 265, kFieldRed, "G", "Finger!!"},
                            kFieldRed, &ScoreRecord::clearQRB, "Complete!!", "Topd:Z     High:X"};
// clang-format on
}  // namespace

FormQRB::FormQRB(GameServices& services) : ShooterCore("FormQRB", services, kLook) {}

// Topmost first: both title lines lie above the enemies.
void FormQRB::designField() {
  Window.place(txtTitle, "txtTitle", {"Qorvex", gothic(21.75, true), Align::Centre, kText, {0, 40, 161, 33}});
  Window.place(txtReBirth, "txtReBirth",
               {"ReBirth", gothic(36, true), Align::Centre, Color::rgb(64, 0, 0), {0, 48, 161, 57}});
  Window.place(Enemy, "Enemy", {"G", wingdings(27.75, true), Align::Centre, kSprite, {0, 232, 33, 33}});
  Window.place(Beam, "Beam", {"''", wingdings(24, true), Align::Centre, kSprite, {168, 232, 33, 33}});
  Window.place(Myship, "Myship", {">", wingdings(27.75, true), Align::Centre, kSprite, {64, 8, 33, 33}, false});
  Window.place(txtHisc, "txtHisc", {"10000", gothic(11.25), Align::Right, kText, {112, 248, 49, 17}});
  Window.place(txtHighScore, "txtHighScore", {"HighScore:", gothic(11.25), Align::Left, kText, {48, 248, 73, 17}});
  Window.place(txtEvent, "txtEvent", {"Push Z or X", gothic(21.75, true), Align::Centre, kText, {0, 184, 161, 33}});
  Window.place(txtInfo, "txtInfo",
               {"Start:Z     Quit:X", gothic(14.25, true), Align::Centre, kText, {0, 208, 161, 25}});
  Window.place(txtScore, "txtScore", {"", gothic(21.75), Align::Left, kText, {0, 120, 153, 33}});
  Window.place(Bgtxt, "Bgtxt", {"J", wingdings(72, true), Align::Centre, kBackdrop, {0, 80, 161, 97}});
  Window.place(txtRest, "txtRest", {"", gothic(21.75), Align::Right, kText, {128, 8, 33, 33}});
}

// Parked on the tick that would take it from 264 to 296.
bool FormQRB::beamOut() const { return Beam.top() > 264; }

// Also true for an enemy already above the beam.
bool FormQRB::beamHits(const Label& enemy) const {
  return enemy.top() + 16 <= Beam.top() + 32 && Beam.left() == enemy.left();
}

// Two rows above the ship. A destroyed enemy lies at x = 256 and never counts.
bool FormQRB::passed(const Label& enemy) const { return enemy.top() < Myship.top() - 32 && enemy.left() < 256; }

// Below the field, destroyed enemies shown again. The first blast after a
// load (highRow still 0) puts enemy 0 on y = 264, the row where returning
// enemies enter.
void FormQRB::blastEnemy(int i) {
  Enemy[i].move(32 * i, Window.height() - 1 + 32 * highRow);
  Enemy[i].setVisible(true);
}

void FormQRB::emptyTitleTexts() {
  ShooterCore::emptyTitleTexts();
  txtReBirth.setCaption("");
}

}  // namespace qs
