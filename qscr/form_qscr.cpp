#include "qscr/form_qscr.h"

#include "qscr/qscr_program.h"
#include "runtime/fonts.h"
#include "runtime/runtime.h"

namespace qs {

void FormQScr::design() {
  setDesignCaption(kSaverTitle);
  coverScreen();
  setDesignBack(colors::black);
  setPrintFore(colors::white);
  place(Display, "Display", {0, 0, 3000, 6000}, colors::black, Units::Pixels);
  Display.setPrintFont(Font{kFixedFace, 21.75});
  Display.setPrintFore(colors::white);
  place(LabelName, "LabelName",
        {"QorvexBlastシリーズ　キャラクター紹介", gothic(27.75), Align::Left, colors::white, {120, 240, 9600, 615}});
  addTimer(TimeSaver, "TimeSaver", 50, true, [this] { TimeSaver_Timer(); });
}

void FormQScr::Form_Load() {
  app().randomize();
  quitFlag = false;
  // The desktop's own screen-saving setting is left as it is: on Linux the
  // program that started this saver owns it.
  app().showCursor(false);
  setTopmost();
  ScreenSize screen = app().screen();
  int width = screen.width * kTwipsPerPixel, height = screen.height * kTwipsPerPixel;
  setWidth(width);
  setHeight(height);
  Display.move(width - 4000, height - 6000, 3000, 6000);
  LabelName.setWidth(width);
  setPrintFont(wingdings(450));  // the characters' giant glyphs are printed on the window
}

void FormQScr::Form_KeyDown(int) { quitFlag = true; }

void FormQScr::Form_Click() { quitFlag = true; }

// No distance threshold: a move of one pixel ends the saver.
void FormQScr::Form_MouseMove(int x, int y) {
  if (!moveSeen) {
    moveSeen = true;
    lastX = x;
    lastY = y;
  } else if (x != lastX || y != lastY) {
    quitFlag = true;
  }
}

void FormQScr::TimeSaver_Timer() {
  if (quitFlag) unload();
}

void FormQScr::Form_Unload() {
  quitFlag = false;
  app().showCursor(true);
  app().end();
}

}  // namespace qs
