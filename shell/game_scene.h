#pragma once
#include <memory>
#include <string>

#include "form.h"
#include "score_record.h"
#include "sound/cls_midi.h"

namespace qs {

enum class SoundMode;

// What every game scene shares: its copy of the score record and the file's
// path, its music player, its sounds, and the way back to the menu.
//
// The protocol: Form_Load reads the record and sets the title music,
// Form_Activate loops the music, X in the title plays "end.wav" and unloads,
// Form_Unload writes the whole record, stops and releases the music and shows
// the menu again.
class GameScene : public Form {
 protected:
  GameScene(std::string name, Units units) : Form(std::move(name), units) {}

  // The music player, created on first use.
  clsMIDI& midi();
  bool hasMidi() const { return midi_ != nullptr; }
  // Set to nothing: the player's device is stopped and closed.
  void releaseMidi() { midi_.reset(); }

  // scoreFile = program directory + "/Qspe.dat"; the record read into scoreRec.
  void readScores();
  void writeScores();
  // "★" in front of the window caption when the game's clear flag is set.
  void starIfCleared(std::int16_t clearFlag);

  // Media files are named relative to the program directory ("start.wav").
  std::string media(const std::string& name) const;
  void playSound(const std::string& name, SoundMode mode);
  void setMusic(const std::string& name) { midi().FileName(media(name)); }

  // The shared steps of the protocol.
  void loadProtocol(const std::string& titleMusic = "title.mid");
  void activateProtocol() { midi().PlayLoop(); }
  void unloadProtocol();
  void showMenu();

  ScoreRecord scoreRec;
  std::string scoreFile;

 private:
  std::unique_ptr<clsMIDI> midi_;
};

}  // namespace qs
