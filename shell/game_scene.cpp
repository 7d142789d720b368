#include "game_scene.h"

#include "runtime.h"
#include "score_file.h"

namespace qs {

clsMIDI& GameScene::midi() {
  if (!midi_) midi_ = std::make_unique<clsMIDI>(app());
  return *midi_;
}

void GameScene::readScores() {
  scoreFile = media("Qspe.dat");
  readScoreRecord(app(), scoreFile, scoreRec);
}

void GameScene::writeScores() {
  scoreFile = media("Qspe.dat");
  writeScoreRecord(app(), scoreFile, scoreRec);
}

void GameScene::starIfCleared(std::int16_t clearFlag) {
  if (isSet(clearFlag)) setCaption("★" + caption());
}

std::string GameScene::media(const std::string& name) const { return app().path() + "/" + name; }

void GameScene::playSound(const std::string& name, SoundMode mode) { app().sndPlaySound(media(name), mode); }

void GameScene::loadProtocol(const std::string& titleMusic) {
  readScores();
  setMusic(titleMusic);
}

void GameScene::unloadProtocol() {
  writeScores();
  if (midi_) midi_->StopM();
  releaseMidi();
  showMenu();
}

void GameScene::showMenu() { app().show(app().form("FormMain")); }

}  // namespace qs
