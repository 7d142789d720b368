#pragma once
#include <memory>
#include <string>

#include "qspe/game_services.h"
#include "qspe/score_record.h"
#include "runtime/form.h"
#include "sound/cls_midi.h"
#include "sound/sound_system.h"

namespace qs {

// A scene with its own copy of the score record, the path of the score file,
// its own music player and its sound effects: the menu and every game scene.
class MediaForm : public Form {
 protected:
  MediaForm(std::string name, Units units, GameServices& services)
      : Form(std::move(name), units), services_(services) {}

  // The music player, created on first use.
  clsMIDI& midi();
  bool hasMidi() const { return midi_ != nullptr; }
  // Set to nothing: the player's device is stopped and closed.
  void releaseMidi() { midi_.reset(); }
  // StopM, then release.
  void stopAndReleaseMidi();

  // scoreFile = program directory (an installed program's data home) +
  // "/Qspe.dat"; the record read into scoreRec.
  void readScores();
  // The whole of scoreRec written back to scoreFile.
  void writeScores();

  // Media files are named relative to the program directory ("start.wav").
  std::string media(const std::string& name) const;
  void playSound(const std::string& name, SoundMode mode);
  void setMusic(const std::string& name) { midi().FileName(media(name)); }

  ScoreRecord scoreRec;
  std::string scoreFile;

 private:
  std::string scorePath() const;
  GameServices& services_;
  std::unique_ptr<clsMIDI> midi_;
};

}  // namespace qs
