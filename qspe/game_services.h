#pragma once

namespace qs {

class ScoreStore;
class SoundSystem;

// What the game program's scenes share beyond the runtime: the sound and the
// score file. The program makes them once and hands them to every scene.
struct GameServices {
  SoundSystem& sound;
  ScoreStore& scores;
};

}  // namespace qs
