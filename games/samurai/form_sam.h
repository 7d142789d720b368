#pragma once
#include <cstdint>
#include <string>

#include "qspe/game_scene.h"
#include "runtime/element.h"
#include "runtime/timer.h"

namespace qs {

// "Qorvex侍": a face on one of three floors that scroll from right to left,
// one 32-pixel cell a step, faster and faster. Up and Down change floor, Z
// swings the sword. Holes, blocks and arrows cost the player; stars, notes,
// cut arrows and survival score. No music, only sounds.
class FormSam : public GameScene {
 public:
  explicit FormSam(GameServices& services) : GameScene("FormSam", Units::Pixels, services, TitleMusic::None) {}

  void design() override;
  void Form_Load() override;
  void Form_Unload() override;
  void Form_KeyDown(int keyCode) override;
  void Form_KeyUp(int keyCode) override;

  static constexpr int kClientWidth = 320;
  static constexpr int kClientHeight = 208;
  // One column of the floors, and one floor.
  static constexpr int kColumn = 32;
  static constexpr int kFloor = 40;
  // Cells 0 to 10 of a floor scroll; cell 11 stays outside the window.
  static constexpr int kCells = 12;
  static constexpr int kScrolling = 11;
  static constexpr int kArrows = 14;  // the "↑" row under the lowest floor
  static constexpr int kArrowStep = 25;
  static constexpr int kStartHiScore = 5000;
  static constexpr int kFirstPeriod = 1000;
  static constexpr int kCycleBonus = 5000;

 private:
  friend struct SamuraiProbe;  // tests and measurements read and set the scene state

  // The timers of the player and the sword (form_sam.cpp).
  void TimeKatana_Timer();
  void TimeSamurai_Timer();
  void TimeEvent_Timer();
  void TimeRain_Timer();
  void gameStart();
  void gameOver();
  void pushXkey();
  // Moves the player and the sword together.
  void movePlayer(int dx, int dy);

  // The floors (samurai_floors.cpp).
  void createCells();
  void TimeGame_Timer();
  void StageTopImg(std::uint8_t i);
  void StageMidImg(std::uint8_t i);
  void StageUndImg(std::uint8_t i);
  void contactPass();
  void cutPass();
  void passAt(const Label& at, void (FormSam::*meet)(int k, Label& cell));
  LabelArray& floor(int k);
  // What every floor shares when the player walks into a cell or cuts it.
  void hitCell(int k, Label& cell);
  void cutCell(int k, Label& cell);
  // The first draw of a refill: "___", then the floor's content by r.
  void refill(Label& cell, int block, int arrow1, int arrow2, int star, int hole);

  // Front to back.
  Label txtTitle, txtEvent, txtInfo, txtScore, txtHisc;
  LabelArray Label1, StageTop;
  Label Katana, Samurai;
  LabelArray StageUnd, StageMid;
  Label txtSam, Label2;
  Timer TimeRain, TimeEvent, TimeSamurai, TimeGame, TimeKatana;

  std::int16_t playFlag = 0;
  int stageNo = 1;  // 0 top, 1 middle, 2 under, 3 fallen
  float life = 3;
  std::int64_t score = 0;
  std::int32_t hiScore = kStartHiScore;
  bool pushZ = false;
  bool pushX = false;
  bool upHeld = false;
  bool downHeld = false;
  int swingStep = 0;
};

}  // namespace qs
