#pragma once
#include <cstdint>
#include <string>

#include "qspe/game_scene.h"

namespace qs {

// What the menu needs to know of a game, for tests that put a light stand-in
// in place of its scene.
struct PendingGame {
  std::string name;     // "FormQB"
  std::string caption;  // "QorvexBlast"
  int outerWidth = 0;   // twips
  int outerHeight = 0;  // twips
  Color back;
  Color fore;  // the title text, readable on `back`
  // The game's clear flag in the record; none for a game without one.
  std::int16_t ScoreRecord::*clearFlag = nullptr;
  TitleMusic titleMusic = TitleMusic::Title;
};

// A stand-in for a game scene that keeps the game-scene protocol: its caption
// (with "★" when cleared), size and colour, the title music looping from its
// activation, X leaving with "end.wav" through the 10 ms poll of the held
// keys, and the record written back when it unloads.
class PendingGameScene : public GameScene {
 public:
  PendingGameScene(PendingGame game, GameServices& services);
  void design() override;
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload() override;
  void Form_KeyDown(int keyCode) override;
  void Form_KeyUp(int keyCode) override;

 private:
  void TimePushX_Timer();

  PendingGame game_;
  Label txtTitle, txtInfo;
  Timer TimePushX;
  bool pushX = false;
};

// Stand-ins for the heavier games: name, caption, window size and colours.
const PendingGame* pendingGames();
int pendingGameCount();

}  // namespace qs
