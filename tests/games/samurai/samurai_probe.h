#pragma once
// Reaches into the sword game's state where a script alone would take too
// long (a floor laid out under the player, a score near the best, a period
// worn down to a few ms).
#include "games/samurai/form_sam.h"

namespace qs {

struct SamuraiProbe {
  static float& life(FormSam& s) { return s.life; }
  static int& stageNo(FormSam& s) { return s.stageNo; }
  static std::int64_t& score(FormSam& s) { return s.score; }
  static Timer& scroll(FormSam& s) { return s.TimeGame; }
  static Label& samurai(FormSam& s) { return s.Samurai; }
  static Label& katana(FormSam& s) { return s.Katana; }
  // Cell i of floor k (0 top, 1 middle, 2 under).
  static Label& cell(FormSam& s, int k, int i) { return s.floor(k)[i]; }
  static void refill(FormSam& s, int k, std::uint8_t i) {
    k == 0 ? s.StageTopImg(i) : k == 1 ? s.StageMidImg(i) : s.StageUndImg(i);
  }
};

}  // namespace qs
