#include "media_form.h"

#include "runtime.h"
#include "score_file.h"

namespace qs {

clsMIDI& MediaForm::midi() {
  if (!midi_) midi_ = std::make_unique<clsMIDI>(app());
  return *midi_;
}

void MediaForm::stopAndReleaseMidi() {
  if (midi_) midi_->StopM();
  releaseMidi();
}

void MediaForm::readScores() {
  scoreFile = media("Qspe.dat");
  readScoreRecord(app(), scoreFile, scoreRec);
}

void MediaForm::writeScores() {
  scoreFile = media("Qspe.dat");
  writeScoreRecord(app(), scoreFile, scoreRec);
}

std::string MediaForm::media(const std::string& name) const { return app().path() + "/" + name; }

void MediaForm::playSound(const std::string& name, SoundMode mode) { app().sndPlaySound(media(name), mode); }

}  // namespace qs
