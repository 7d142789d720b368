#include "menu.h"

namespace qs {

void FormMain::design() {
  setDesignCaption("QorvexSpecial!! - Ver. Millennium -");
  setDesignBack(Color::rgb(128, 0, 128));
  setClientSize(4230 / kTwipsPerPixel, 3420 / kTwipsPerPixel);
}

}  // namespace qs
