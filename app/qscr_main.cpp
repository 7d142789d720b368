#include <cstdlib>

#include "app/launcher.h"
#include "qscr/qscr_program.h"

namespace {

// The window of a screen-saver host, for the live backend to draw into.
std::optional<std::uint64_t> hostWindow(const std::vector<std::string>& words) {
  const char* env = std::getenv("XSCREENSAVER_WINDOW");
  auto host = qs::saverHost(words, env ? env : "");
  if (!host) return std::nullopt;
  return host->root ? 0 : host->id;
}

}  // namespace

// The saver makes no sound: no audio output is opened. It lets the display
// blank and lock while it runs, and draws into a screen-saver host's window
// when given one.
int main(int argc, char** argv) {
  qs::ProgramInfo info{"QScr",
                       [](qs::Runtime& rt, qs::AudioDevice&) { return qs::makeQScr(rt); },
                       {},
                       "  /S            run the saver (so does any word not below)\n"
                       "  /C or nothing show what the saver does and how to use it\n"
                       "  /P            end at once (there is no preview)\n"
                       "  /A            say that there is no password\n"
                       "Only the first two characters of the first word count, in either case; a copy\n"
                       "started while another runs ends at once.\n"
                       "When it runs, inside a screen-saver host such as xscreensaver:\n"
                       "  --root          draw on the root window\n"
                       "  --window-id ID  draw into window ID (decimal or 0x hexadecimal)\n"
                       "  $XSCREENSAVER_WINDOW  the window to draw into, as the host sets it\n"
                       "(also spelled -root, -window-id). The host then ends the saver; input does not,\n"
                       "and no lock is taken."};
  info.letDisplaySleep = true;
  info.hostWindow = hostWindow;
  // The saver covers the screen: no window scale, no full-screen switch.
  info.options.window = false;
  info.options.words = {{"--root", 0}, {"--window-id", 1}};
  return qs::launch(argc, argv, info);
}
