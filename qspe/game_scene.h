#pragma once
#include <cstdint>
#include <optional>
#include <string>

#include "qspe/media_form.h"
#include "qspe/title_loop.h"

namespace qs {

// Whether a scene loops the title music from its activation.
enum class TitleMusic { Title, None };

// What every game scene shares beyond the score record and the music player:
// the star in the caption, the title loop and the way back to the menu.
//
// The protocol: Form_Load reads the record and sets the title music,
// Form_Activate loops the music, the title loop starts a game on Z and leaves
// on X with "end.wav", Form_Unload writes the whole record, stops and releases
// the music and shows the menu again. A scene without title music makes no
// music player for its title: its load, activation and unload send nothing.
class GameScene : public MediaForm {
 protected:
  GameScene(std::string name, Units units, GameServices& services, TitleMusic music = TitleMusic::Title)
      : MediaForm(std::move(name), units, services), music_(music) {}

  // "★" in front of the window caption when the game's clear flag is set.
  void starIfCleared(std::int16_t clearFlag);

  // The shared steps of the protocol.
  void loadProtocol();
  void activateProtocol();
  void unloadProtocol();
  void showMenu();

  // Makes the 10 ms title check a poll of the held keys while no game runs;
  // in play it reads the field as well, so it ticks.
  template <class Flag, class Key, class OtherKey>
  void pollTitleKeys(Timer& check, const Flag& playFlag, const Key& pushZ, const OtherKey& pushX) {
    check.setPoll([&]() -> std::optional<std::uint64_t> {
      if (playFlag) return std::nullopt;
      return std::uint64_t{static_cast<std::uint16_t>(pushZ)} << 16 | static_cast<std::uint16_t>(pushX);
    });
  }

  TitleLoop titleLoop{*this};

 private:
  friend class TitleLoop;
  TitleMusic music_;
};

}  // namespace qs
