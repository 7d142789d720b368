#include "app/launcher.h"
#include "qscr/qscr_program.h"

// The saver makes no sound: no audio output is opened.
int main(int argc, char** argv) {
  return qs::launch(argc, argv, {"QScr", [](qs::Runtime& rt, qs::AudioDevice&) { return qs::makeQScr(rt); }, {}});
}
