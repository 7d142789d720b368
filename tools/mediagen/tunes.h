// The game's music, composed for this port.
#pragma once

#include <string>
#include <vector>

#include "score.h"

namespace qs::mediagen {

struct Tune {
  std::string name;  // file name, e.g. "bgm.mid"
  std::string description;
  Song song;
};

Song selectTheme();  // menu: bright, C major
Song titleTheme();   // title: broad brass and strings, D major
Song stageTheme();   // in game: driving rock, E minor
Song bossTheme();    // boss: faster and darker, D harmonic minor

std::vector<Tune> makeTunes();

}  // namespace qs::mediagen
