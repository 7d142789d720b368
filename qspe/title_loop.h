#pragma once
#include <cstdint>
#include <functional>
#include <string_view>

namespace qs {

class GameScene;
class Label;

// The title loop that every game scene runs while no game is in play: the
// check of the held keys, every 10 ms, that starts a game or leaves the scene,
// and the blink of the prompt, every 250 ms. The scene keeps its own key
// flags and calls these from its own timers, around its own steps.
class TitleLoop {
 public:
  explicit TitleLoop(GameScene& scene) : scene_(scene) {}

  // Z held: "start.wav" to its end, then the scene's `gameStart`. Then, under
  // the same test, X held: "end.wav" to its end and the scene unloads; with
  // both held a game starts and the scene is left in the same check. True
  // when the scene has unloaded.
  bool checkKeys(bool zHeld, const bool& xHeld, const std::function<void()>& gameStart);

  // The blink's phase: true (the prompt shows) on the first call, then false,
  // true, ... The phase is never reset, so a later title may begin hidden.
  bool blinkShows();
  // The prompt takes `text` and is shown and hidden in turn.
  void blink(Label& prompt, std::string_view text);

 private:
  GameScene& scene_;
  std::int16_t blinkFlag_ = 0;
};

}  // namespace qs
