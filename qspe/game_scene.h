#pragma once
#include <cstdint>
#include <string>

#include "qspe/media_form.h"

namespace qs {

// What every game scene shares beyond the score record and the music player:
// the star in the caption and the way back to the menu.
//
// The protocol: Form_Load reads the record and sets the title music,
// Form_Activate loops the music, X in the title plays "end.wav" and unloads,
// Form_Unload writes the whole record, stops and releases the music and shows
// the menu again.
class GameScene : public MediaForm {
 protected:
  GameScene(std::string name, Units units, GameServices& services)
      : MediaForm(std::move(name), units, services) {}

  // "★" in front of the window caption when the game's clear flag is set.
  void starIfCleared(std::int16_t clearFlag);

  // The shared steps of the protocol.
  void loadProtocol(const std::string& titleMusic = "title.mid");
  void activateProtocol() { midi().PlayLoop(); }
  void unloadProtocol();
  void showMenu();
};

}  // namespace qs
