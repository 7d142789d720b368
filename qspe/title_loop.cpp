#include "qspe/title_loop.h"

#include "qspe/game_scene.h"

namespace qs {

bool TitleLoop::checkKeys(bool zHeld, const bool& xHeld, const std::function<void()>& gameStart) {
  if (zHeld) {
    scene_.playSound("start.wav", SoundMode::Wait);
    gameStart();
  }
  if (!xHeld) return false;
  scene_.playSound("end.wav", SoundMode::Wait);
  scene_.unload();
  return true;
}

bool TitleLoop::blinkShows() {
  const bool shows = blinkFlag_ == 0;
  blinkFlag_ = static_cast<std::int16_t>(~blinkFlag_);
  return shows;
}

void TitleLoop::blink(Label& prompt, std::string_view text) {
  prompt.setCaption(text);
  prompt.setVisible(blinkShows());
}

}  // namespace qs
