#pragma once
#include <cstdint>
#include <string>

#include "qspe/game_scene.h"
#include "runtime/element.h"
#include "runtime/timer.h"

namespace qs {

// "QorvexStrike!": an enemy shows up in one cell of a 3 x 3 grid on every
// enemy tick; the cursor is moved over the grid and Z strikes. 60 seconds a
// game, 60 hits end it early.
class FormQS : public GameScene {
 public:
  explicit FormQS(GameServices& services) : GameScene("FormQS", Units::Pixels, services) {}

  void design() override;
  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload() override;
  void Form_KeyDown(int keyCode) override;
  void Form_KeyUp(int keyCode) override;

  // The grid: cell k has column k mod 3 and row k \ 3, 65 pixels apart.
  static constexpr int kCell = 65;
  static constexpr int kCells = 9;
  static constexpr int kGameSeconds = 60;
  static constexpr int kHands = 60;
  static constexpr int kHitPoints = 100;
  static constexpr int kMissPoints = 10;
  static constexpr int kPerfectScore = 6000;
  static constexpr int kStartHiScore = 3000;

 private:
  // The four timers.
  void TimePushX_Timer();
  void TimeEvent_Timer();
  void TimeGame_Timer();
  void TimeRest_Timer();

  void gameStart();
  void GameEnd();
  void pushXkey();
  // A strike armed by Z judged against the visible enemy i.
  void judgeStrike(int i);
  void showHands();
  void stepCursor(int dx, int dy);

  // The play panel and everything on it, front to back.
  Box Window;
  LabelArray Enemy;
  Label Label1, txtEvent, txtHisc, Myship, Label2, txtHi, txtTitle, txtBG, txtInfo;
  Timer TimePushX, TimeEvent, TimeGame, TimeRest;

  bool playFlag = false;
  std::int16_t pushZ = 0;  // -1 armed
  bool pushX = false;
  int score = 0;
  int hiScore = kStartHiScore;
  std::int16_t handLeft = 0;
  float timeLeft = 0;
  int shipPos = 4;
  std::uint8_t shipCol = 1;
  int enemyNo = 0;
};

}  // namespace qs
