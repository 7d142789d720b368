#include "qspe/media_form.h"

#include "qspe/score_file.h"
#include "runtime/runtime.h"

namespace qs {

clsMIDI& MediaForm::midi() {
  if (!midi_) midi_ = std::make_unique<clsMIDI>(services_.sound);
  return *midi_;
}

void MediaForm::stopAndReleaseMidi() {
  if (midi_) midi_->StopM();
  releaseMidi();
}

std::string MediaForm::scorePath() const { return app().dataPath() + "/Qspe.dat"; }

void MediaForm::readScores() {
  scoreFile = scorePath();
  services_.scores.read(scoreFile, scoreRec);
}

void MediaForm::writeScores() {
  scoreFile = scorePath();
  services_.scores.write(scoreFile, scoreRec);
}

std::string MediaForm::media(const std::string& name) const { return app().path() + "/" + name; }

void MediaForm::playSound(const std::string& name, SoundMode mode) { services_.sound.sndPlaySound(media(name), mode); }

}  // namespace qs
