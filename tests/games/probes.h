#pragma once
// Reaches into the game scenes' state where a script alone would take too
// long: a score set near a threshold, a draw made on its own.
#include <string>

#include "games/forever/form_qf.h"
#include "games/samurai/form_sam.h"
#include "games/shooter/shooter_core.h"

namespace qs {
struct ShooterProbe {
  static int pick(Form& f) { return static_cast<ShooterCore&>(f).enemyPick; }
  static int& score(Form& f) { return static_cast<ShooterCore&>(f).score; }
};
struct ForeverProbe {
  static int pick(Form& f) { return static_cast<FormQF&>(f).enemyPick; }
  static int& score(Form& f) { return static_cast<FormQF&>(f).score; }
  static int dropAt(Form& f) {  // the Power item's column after a drop, -1 for none
    auto& s = static_cast<FormQF&>(f);
    s.powerShown = false;
    s.Power.move(288, 0);
    s.dropPower();
    return s.powerShown ? s.Power.left() / 32 : -1;
  }
  static int bossShot(Form& f) {
    static_cast<FormQF&>(f).TimeBoss_Timer();
    return static_cast<FormQF&>(f).bossShot;
  }
};
struct SamuraiProbe {
  static std::int64_t& score(Form& f) { return static_cast<FormSam&>(f).score; }
  static int& stageNo(Form& f) { return static_cast<FormSam&>(f).stageNo; }
  static void rain(Form& f) { static_cast<FormSam&>(f).TimeRain_Timer(); }
  static std::string refill(Form& f, int k) {
    auto& s = static_cast<FormSam&>(f);
    k == 0 ? s.StageTopImg(10) : k == 1 ? s.StageMidImg(10) : s.StageUndImg(10);
    return s.floor(k)[10].caption();
  }
};
}  // namespace qs
