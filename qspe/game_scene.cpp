#include "qspe/game_scene.h"

#include "runtime/runtime.h"

namespace qs {

void GameScene::starIfCleared(std::int16_t clearFlag) {
  if (isSet(clearFlag)) setCaption("★" + caption());
}

void GameScene::loadProtocol() {
  readScores();
  if (music_ == TitleMusic::Title) setMusic("title.mid");
}

void GameScene::activateProtocol() {
  if (music_ == TitleMusic::Title) midi().PlayLoop();
}

void GameScene::unloadProtocol() {
  writeScores();
  stopAndReleaseMidi();
  showMenu();
}

void GameScene::showMenu() { app().show(app().form("FormMain")); }

}  // namespace qs
