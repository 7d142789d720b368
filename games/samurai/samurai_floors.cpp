// The three floors: their cells, the scroll step, the refill of a cell that
// comes back at the right edge, and what a cell does to the player walking
// into it or to the sword over it.
#include "games/samurai/form_sam.h"
#include "runtime/random.h"
#include "runtime/runtime.h"

namespace qs {

namespace {
const char* const kPlain = "___";
const char* const kBlock = "■";
const char* const kHole = "";
const char* const kArrow = "←";
const char* const kStar = "☆";
const char* const kNote = "♪";
constexpr int kStarPoints = 100;
constexpr int kArrowPoints = 100;
constexpr int kNotePoints = 500;
constexpr int kNoteDraw = 49;
}  // namespace

LabelArray& FormSam::floor(int k) { return k == 0 ? StageTop : k == 1 ? StageMid : StageUnd; }

// Cell i of every floor at 32 * i: cell 11 lies outside the window and never
// moves; the others fill the eleven columns 0 to 320.
void FormSam::createCells() {
  for (int i = 1; i < kCells; ++i) {
    for (int k = 0; k < 3; ++k) {
      floor(k).load(i);
      floor(k)[i].setLeft(kColumn * i);
    }
  }
}

// One step to the left. A cell that leaves re-enters in the last column with
// fresh content. The period shrinks by 1 ms a step; the step taken at 1 ms
// gives the bonus and starts the cycle again at 1000 ms.
void FormSam::TimeGame_Timer() {
  for (std::uint8_t i = 0; i < kScrolling; ++i) {
    StageTop[i].setLeft(StageTop[i].left() - kColumn);
    StageMid[i].setLeft(StageMid[i].left() - kColumn);
    StageUnd[i].setLeft(StageUnd[i].left() - kColumn);
    if (StageTop[i].left() < 0) {
      StageTop[i].setLeft(StageTop[kScrolling].left() - kColumn);
      StageTopImg(i);
    }
    if (StageMid[i].left() < 0) {
      StageMid[i].setLeft(StageMid[kScrolling].left() - kColumn);
      StageMidImg(i);
    }
    if (StageUnd[i].left() < 0) {
      StageUnd[i].setLeft(StageUnd[kScrolling].left() - kColumn);
      StageUndImg(i);
    }
  }
  if (TimeGame.interval() == 1) {
    playSound("clear.wav", SoundMode::Background);
    score += kCycleBonus;
    TimeGame.setInterval(kFirstPeriod);
  } else {
    TimeGame.setInterval(TimeGame.interval() - 1);
  }
}

// r = 30 * draw rounded: 1..29 each one in 30, 0 and 30 one in 60.
void FormSam::refill(Label& cell, int block, int arrow1, int arrow2, int star, int hole) {
  cell.setCaption(kPlain);
  const int r = roundHalfEven(30 * app().rnd());
  if (r == block) cell.setCaption(kBlock);
  if (r == arrow1 || r == arrow2) cell.setCaption(kArrow);
  if (r == star) cell.setCaption(kStar);
  if (r == hole) cell.setCaption(kHole);
}

void FormSam::StageTopImg(std::uint8_t i) { refill(StageTop[i], 7, 16, 28, 13, 21); }

// The middle floor draws a second time on every refill: a note, about one
// refill in a hundred, replaces whatever the first draw gave.
void FormSam::StageMidImg(std::uint8_t i) {
  refill(StageMid[i], 3, 9, 25, 11, 19);
  if (roundHalfEven(100 * app().rnd()) == kNoteDraw) StageMid[i].setCaption(kNote);
}

void FormSam::StageUndImg(std::uint8_t i) { refill(StageUnd[i], 1, 6, 29, 12, 17); }

// The contact pass (StageTopHit, StageMidHit, StageUndHit) and the cut pass
// (StageTopKatana, StageMidKatana, StageUndKatana): each cell of the player's
// floor in the column of `at`. The column and the floor are read again for
// every cell, so a fall through a hole can meet the cell below in the same pass.
void FormSam::passAt(const Label& at, void (FormSam::*meet)(int k, Label& cell)) {
  for (int i = 0; i < kScrolling; ++i) {
    for (int k = 0; k < 3; ++k) {
      Label& cell = floor(k)[i];
      if (cell.left() == at.left() && stageNo == k) (this->*meet)(k, cell);
    }
  }
}

void FormSam::contactPass() { passAt(Samurai, &FormSam::hitCell); }

void FormSam::cutPass() { passAt(Katana, &FormSam::cutCell); }

// Each case reads the caption afresh. From the under floor a hole or a block
// leaves the player fallen (floor 3), which the next sword tick ends.
void FormSam::hitCell(int k, Label& cell) {
  if (cell.caption() == kHole) {
    movePlayer(0, kFloor);
    stageNo = k + 1;
  }
  if (cell.caption() == kBlock) {
    // The block knocks the player back and down, and stays.
    movePlayer(-kColumn, kFloor);
    stageNo = k + 1;
    life -= 1;
    playSound("wall.wav", SoundMode::Background);
  }
  if (cell.caption() == kArrow) {
    cell.setCaption(kPlain);
    movePlayer(-kColumn, 0);
    life -= 1;
    playSound("wall.wav", SoundMode::Background);
  }
  if (cell.caption() == kStar) {
    cell.setCaption(kPlain);
    score += kStarPoints;
    playSound("take.wav", SoundMode::Background);
  }
  if (k == 1 && cell.caption() == kNote) {
    cell.setCaption(kPlain);
    movePlayer(kColumn, 0);
    life += 1;
    score += kNotePoints;
    playSound("take.wav", SoundMode::Background);
  }
}

void FormSam::cutCell(int k, Label& cell) {
  if (cell.caption() == kBlock) playSound("katana.wav", SoundMode::Background);
  if (cell.caption() == kArrow) {
    cell.setCaption(kPlain);
    score += kArrowPoints;
    playSound("zack.wav", SoundMode::Background);
  }
  if (cell.caption() == kStar) {
    // A cut star is lost without points.
    cell.setCaption(kPlain);
    playSound("zack.wav", SoundMode::Background);
  }
  if (k == 1 && cell.caption() == kNote) {
    cell.setCaption(kPlain);
    playSound("zack.wav", SoundMode::Background);
  }
}

}  // namespace qs
