// The real saver on a private X server (Xvfb) of the test's own: it lets the
// display's own screen saver start while it runs, and inside a host's window
// it draws there, shrunk to a preview's size, and leaves the window to the
// host. Skipped where Xvfb is not installed.
#include "support/private_display.h"
// After Xlib itself.
#include <X11/Xutil.h>
#include <X11/extensions/scrnsaver.h>

namespace qs::test {
namespace {

using namespace std::chrono_literals;

// Runs the saver to its end; `env` holds NAME=VALUE words for its environment.
CommandResult runSaver(const std::string& args, const std::string& env = "") {
  return runCommand("env -u XSCREENSAVER_WINDOW " + env + " " + QSCR_BINARY + " " + args);
}

// Words that name a host's window need no display to be read.
TEST(SaverHostWords, ABadWindowIsRefusedAndAHeadlessRunIgnoresTheWindow) {
  CommandResult r = runSaver("--headless --until 10 -window-id twelve");
  EXPECT_EQ(r.status, 2) << r.out;
  EXPECT_NE(r.out.find("-window-id takes a window number, not \"twelve\""), std::string::npos) << r.out;
  r = runSaver("--headless --until 100 --trace - -window-id 0x1234 /C");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("0 show FormQScr\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("cursor"), std::string::npos) << r.out;
}

XScreenSaverInfo screenSaverOf(Display* display) {
  XScreenSaverInfo info{};
  XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info);
  return info;
}

// SDL keeps the display awake for a game; the saver lets it blank. The
// display's saver is set to start after one idle second.
TEST_F(PrivateDisplay, TheDisplaysOwnSaverStartsWhileTheSaverRunsButNotDuringAGame) {
  XSetScreenSaver(display_, 1, 0, DontPreferBlanking, AllowExposures);
  XSync(display_, False);
  struct Case {
    std::string binary, args, shown;
    bool blanks;
  };
  const Case cases[] = {
      {QSCR_BINARY, "/S", " show FormQScr\n", true},
      {QSPE_BINARY, "", " show FormStartUp\n", false},
  };
  for (const Case& c : cases) {
    std::string trace = dir_.file("sleep.trace");
    std::vector<std::string> args = {"--until", "15000"};
    if (!c.args.empty()) args.push_back(c.args);
    pid_t pid = start(c.binary, args, trace);
    ASSERT_GT(pid, 0);
    ASSERT_GE(awaitTrace(trace, c.shown), 0) << c.binary;
    // Until the saver is on, or the screen has been idle for twice its time.
    XScreenSaverInfo info{};
    for (int i = 0; i < 100; ++i) {
      info = screenSaverOf(display_);
      if (info.state == ScreenSaverOn || info.idle >= 2500) break;
      std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(info.state == ScreenSaverOn, c.blanks) << c.binary << " idle " << info.idle;
    kill(pid, SIGTERM);
    EXPECT_EQ(waitFor(pid), 0) << c.binary;
    XResetScreenSaver(display_);
  }
  XSetScreenSaver(display_, 0, 0, DontPreferBlanking, AllowExposures);
  XSync(display_, False);
}

// A host's preview window: the saver draws into it the layout of a
// 1024 x 768 screen, shrunk to fit; the host ends it with SIGTERM, and the
// window stays as the host made it.
TEST_F(PrivateDisplay, DrawsIntoTheHostsWindowShrunkToFitAndLeavesItToTheHost) {
  constexpr int kW = 320, kH = 240;
  constexpr unsigned long kBlue = 0x3366cc;  // the host's own background: any pixel still blue was not drawn
  Window host = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10, kW, kH, 0, 0, kBlue);
  XMapWindow(display_, host);
  XSync(display_, False);

  std::string trace = dir_.file("host.trace");
  char id[32];
  std::snprintf(id, sizeof id, "0x%lx", host);
  pid_t pid = start(QSCR_BINARY, {"-window-id", id}, trace);
  ASSERT_GT(pid, 0);
  ASSERT_GE(awaitTrace(trace, "0 print FormQScr \">\"\n"), 0) << readFile(trace);

  // The picture, once it is there.
  int blue = 0, bright = 0, top = 0, rightmost = -1;
  for (int attempt = 0; attempt < 60; ++attempt) {
    std::this_thread::sleep_for(100ms);
    XImage* image = XGetImage(display_, host, 0, 0, kW, kH, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    blue = bright = top = 0;
    rightmost = -1;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        unsigned long p = XGetPixel(image, x, y);
        if (p == kBlue) ++blue;
        if ((p & 0xff) < 0xc0 || ((p >> 8) & 0xff) < 0xc0 || ((p >> 16) & 0xff) < 0xc0) continue;
        ++bright;
        if (y < kH / 8) ++top;  // the name line
        else rightmost = std::max(rightmost, x);
      }
    XDestroyImage(image);
    if (blue == 0 && bright > 0) break;
  }
  EXPECT_EQ(blue, 0) << "the whole window is the saver's";
  EXPECT_GT(top, 0) << "the name line";
  // The tape drive spans more than half of a 1024-wide screen: shrunk, it
  // ends well before the window's right edge; drawn full size it would cover it.
  EXPECT_GT(rightmost, kW / 8);
  EXPECT_LT(rightmost, kW * 3 / 4);

  kill(pid, SIGTERM);
  EXPECT_EQ(waitFor(pid), 0);
  std::string t = readFile(trace);
  EXPECT_NE(t.find(" unload FormQScr\n"), std::string::npos) << t;
  EXPECT_EQ(t.find("cursor"), std::string::npos) << t;
  EXPECT_EQ(t.find("topmost"), std::string::npos) << t;
  XWindowAttributes attributes{};
  ASSERT_NE(XGetWindowAttributes(display_, host, &attributes), 0);
  EXPECT_EQ(attributes.map_state, IsViewable);
  EXPECT_EQ(attributes.width, kW);
  XDestroyWindow(display_, host);
  XSync(display_, False);
}

TEST_F(PrivateDisplay, AWindowThatIsNotThereEndsTheSaverWithStatus1) {
  CommandResult r = runSaver("--until 100 -window-id 0x7ffffff0", "DISPLAY=" + name_ + " SDL_AUDIODRIVER=dummy");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("there is no window 0x7ffffff0"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace qs::test
