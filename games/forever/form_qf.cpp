// The scene's load, the enemies' glyphs and the start of a game.
#include "games/forever/form_qf.h"

#include <string>

#include "runtime/random.h"
#include "runtime/runtime.h"

namespace qs {

namespace {
constexpr LaneLook kLook{"QorvexBlast Forever", 3420, 4350, 224, 265, colors::white, "N", "Aaahhhhhg!!"};
// The enemy glyphs, by style.
constexpr const char* kStyles[] = {"A", "B", "@", "H", "I", "C"};
}  // namespace

FormQF::FormQF(GameServices& services) : LaneShooter("FormQF", services, kLook, kColumns) {}

// Only the key flags are reset: beamOn, the boss's directions and the rest of
// the state carry over from the last visit.
void FormQF::Form_Load() {
  app().randomize();
  pushX = false;
  pushZ = false;
  sizeWindow();
  Bgtxt.setFontSize(100);
  txtBoss.setFontSize(100);
  readScores();
  if (isSet(scoreRec.clearQF)) {
    starIfCleared(scoreRec.clearQF);
    Label2.setCaption("SAMURAI");
  }
  setMusic("title.mid");
  hiScore = scoreRec.hiScoreQF >= kLeastBest ? scoreRec.hiScoreQF : kLeastBest;
  txtHisc.setCaption(std::to_string(hiScore));
  // Enemy(7) is made like the others but no rule ever shows it; Enemy(0)
  // keeps its design glyph until its first hit.
  Enemy[0].move(0, -kCell);
  for (int i = 1; i <= kColumns; ++i) {
    Enemy.load(i);
    Enemy[i].zOrder();
    Enemy[i].move(kCell * i, -kCell);
    EnemyStile(i);
  }
  playFlag = 0;
}

void FormQF::EnemyStile(int index) {
  enemyStyle = static_cast<std::uint8_t>(roundHalfEven(app().rnd() * 5));
  Enemy[index].setCaption(kStyles[enemyStyle]);
}

// The enemy tick's interval is not reset here but at every game end; beamOn,
// skullFlying and the boss's directions are left as the last game left them.
void FormQF::gameStart() {
  openGame(3);
  bossPower = kBossPower;
  powerShown = false;
  TimeBeam.setInterval(100);
  Beam.setCaption("W");
  Myship.setCaption(hiScore >= kShinyBest ? "J" : ">");
  Bgtxt.setCaption("J");
  showScore();
  txtInfo.setCaption("Wave:Z");
  txtEvent.setCaption("");
  txtTitle.setCaption("");
  Label1.setCaption("");
  txtBoss.setCaption("J");
  startPlay("fbgm.mid");
}

}  // namespace qs
