#include "qspe/game_scene.h"

#include "runtime/runtime.h"

namespace qs {

void GameScene::starIfCleared(std::int16_t clearFlag) {
  if (isSet(clearFlag)) setCaption("★" + caption());
}

void GameScene::loadProtocol(const std::string& titleMusic) {
  readScores();
  setMusic(titleMusic);
}

void GameScene::unloadProtocol() {
  writeScores();
  stopAndReleaseMidi();
  showMenu();
}

void GameScene::showMenu() { app().show(app().form("FormMain")); }

}  // namespace qs
