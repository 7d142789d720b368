#include "app/launcher.h"
#include "qscr/qscr_program.h"

// The saver makes no sound: no audio output is opened.
int main(int argc, char** argv) {
  return qs::launch(argc, argv,
                    {"QScr", [](qs::Runtime& rt, qs::AudioDevice&) { return qs::makeQScr(rt); }, {},
                     "  /S            run the saver (so does any word not below)\n"
                     "  /C or nothing show what the saver does and how to use it\n"
                     "  /P            end at once (there is no preview)\n"
                     "  /A            say that there is no password\n"
                     "Only the first two characters of the first word count, in either case; a copy\n"
                     "started while another runs ends at once."});
}
