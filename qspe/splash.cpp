#include "qspe/splash.h"

#include "runtime/fonts.h"
#include "runtime/runtime.h"

namespace qs {

void FormStartUp::design() {
  setBorderless(true);
  setDesignCaption("");
  setDesignBack(colors::white);
  setDesignSize(4575, 3135);
  setClientSize(4575 / kTwipsPerPixel, 3135 / kTwipsPerPixel);
  const Color grey = Color::rgb(128, 128, 128);
  place(Label3, "Label3", {"Presents", gothic(21.75, true, true), Align::Centre, grey, {720, 1920, 3135, 375}});
  place(Label2, "Label2", {"Ostravin", gothic(48, true), Align::Centre, grey, {120, 1080, 4335, 975}});
  place(Label1, "Label1",
        {">", wingdings(72, true), Align::Centre, Color::rgb(192, 192, 192), {120, -600, 4335, 3615}});
  place(Shape1, "Shape1", {0, 0, 4575, 3135}, colors::black);
  addTimer(Timer1, "Timer1", 1500, true, [this] { Timer1_Timer(); });
}

void FormStartUp::Form_Load() {
  splashShown = false;
  setWidth(4575);
  setHeight(3135);
  Label1.setFontSize(200);
}

void FormStartUp::Timer1_Timer() {
  if (!splashShown) {
    splashShown = true;
    return;
  }
  app().show(app().form("FormMain"));
  unload();
}

}  // namespace qs
