// The real saver on a private X server (Xvfb) of the test's own: it lets the
// display's own screen saver start while it runs, and inside a host's window
// it draws there, shrunk to a preview's size, and leaves the window to the
// host. Skipped where Xvfb is not installed.
#include "support/private_display.h"
// After Xlib itself.
#include "sdl/paint_support.h"
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <X11/extensions/scrnsaver.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "runtime/instance_lock.h"
#include "support/process.h"

namespace qs::test {
namespace {

using namespace std::chrono_literals;

// Runs the saver to its end; `env` holds NAME=VALUE words for its environment.
CommandResult runSaver(const std::string& args, const std::string& env = "") {
  return runCommand("env -u XSCREENSAVER_WINDOW " + env + " " + QSCR_BINARY + " " + args);
}

// The entry step of the real program, run headless (a box is answered at
// once): what it did, from its trace, its status and its standard error.
std::string entryOutcome(const std::string& words, const std::string& env, const TempDir& locks) {
  const std::string trace = locks.file("entry.trace");
  std::remove(trace.c_str());
  CommandResult r = runSaver("--headless --until 100 --trace " + trace + " " + words,
                             "XDG_RUNTIME_DIR=" + locks.path() + " " + env);
  const std::string t = readFile(trace);
  if (r.status != 0 || !r.out.empty()) return "status " + std::to_string(r.status) + ": " + r.out;
  if (t.find(" msgbox \"QorvexSaver Ver 1.00\" \"パスワードには非対応\"\n") != std::string::npos) return "password";
  if (t.find(" msgbox \"QorvexSaver Ver 1.00\" ") != std::string::npos) return "settings";
  if (t == "0 end\n") return "nothing";
  if (t.rfind("0 load FormQScr\n", 0) == 0) return t.find(" cursor 0\n") != std::string::npos ? "saver" : "hosted";
  return t;
}

// The first two characters of the first word choose, in either case; the
// host's words and $XSCREENSAVER_WINDOW (as xscreensaver sets it) only make
// a saver that runs run in the host's window. A copy started while another
// holds the lock ends at once, whatever it was asked.
TEST(SaverEntry, TheFirstTwoCharactersChooseAndTheHostsWordsOnlyPlaceTheSaver) {
  const std::string refused = "status 1: QScr: --window-id takes a window number, not \"foo\"\n";
  struct Case {
    std::string words, alone, underHost;  // underHost: with $XSCREENSAVER_WINDOW set
  };
  const Case cases[] = {
      {"/A", "password", "password"},
      {"/a", "password", "password"},
      {"/C", "settings", "settings"},
      {"/c:1234", "settings", "settings"},
      {"", "settings", "settings"},
      {"/P 5678", "nothing", "nothing"},
      {"/s", "saver", "hosted"},
      {"foo", "saver", "hosted"},
      {"/C --root", "settings", "settings"},
      {"/P --window-id 5", "nothing", "nothing"},
      {"/C --window-id foo", "settings", "settings"},
      {"--root", "hosted", "hosted"},
      {"-root", "hosted", "hosted"},
      {"--window-id 0x5", "hosted", "hosted"},
      {"-window-id 5", "hosted", "hosted"},
      {"--window-id foo", refused, refused},
  };
  TempDir locks;
  for (const Case& c : cases) {
    EXPECT_EQ(entryOutcome(c.words, "", locks), c.alone) << "\"" << c.words << "\"";
    EXPECT_EQ(entryOutcome(c.words, "XSCREENSAVER_WINDOW=0x400001", locks), c.underHost) << "\"" << c.words << "\"";
  }
  EXPECT_EQ(entryOutcome("/s", "XSCREENSAVER_WINDOW=junk", locks),
            "status 1: QScr: $XSCREENSAVER_WINDOW takes a window number, not \"junk\"\n");
  EXPECT_EQ(entryOutcome("/C", "XSCREENSAVER_WINDOW=junk", locks), "settings");

  FileInstanceLock running("QScr", locks.path());
  ASSERT_TRUE(running.take());
  for (const char* words : {"/s", "/C", "--root"}) {
    EXPECT_EQ(entryOutcome(words, "", locks), "nothing") << words;
    EXPECT_EQ(entryOutcome(words, "XSCREENSAVER_WINDOW=0x400001", locks), "nothing") << words;
  }
}

// The exit status, or -1 when killed; none if the program is still there after 2 s.
std::optional<int> endsWithin2s(pid_t pid) {
  int status = 0;
  for (int i = 0; i < 40; ++i, std::this_thread::sleep_for(50ms))
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
  return std::nullopt;
}

XScreenSaverInfo screenSaverOf(Display* display) {
  XScreenSaverInfo info{};
  XScreenSaverQueryInfo(display, DefaultRootWindow(display), &info);
  return info;
}

// A window's pixels as 0xRRGGBB; none if the window cannot be read.
struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned long> pixels;
  unsigned long at(int x, int y) const { return pixels[y * width + x]; }
  bool dark(int x, int y) const { return (at(x, y) & 0x808080) == 0; }
};

Picture pictureOf(Display* display, Window w) {
  Picture p;
  XWindowAttributes a{};
  if (!XGetWindowAttributes(display, w, &a)) return p;
  XImage* image = XGetImage(display, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
  if (!image) return p;
  p.width = a.width, p.height = a.height;
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) p.pixels.push_back(XGetPixel(image, x, y) & 0xffffff);
  XDestroyImage(image);
  return p;
}
// The press and release of a key or (`key` 0) of the left button at (x, y)
// of `w`, sent to it once it has the focus and the pointer, as a desktop's
// window manager would give them.
void press(Display* display, Window w, KeySym key, int x = 0, int y = 0) {
  XSetInputFocus(display, w, RevertToParent, CurrentTime);
  XWarpPointer(display, 0, w, 0, 0, 0, 0, x, y);
  XSync(display, False);
  std::this_thread::sleep_for(200ms);
  for (bool down : {true, false}) {
    XEvent e{};
    if (key) {
      e.xkey = XKeyEvent{down ? KeyPress : KeyRelease, 0, True, display, w, DefaultRootWindow(display), 0,
                         CurrentTime, 0, 0, 0, 0, 0, XKeysymToKeycode(display, key), True};
    } else {
      e.xbutton = XButtonEvent{down ? ButtonPress : ButtonRelease, 0, True, display, w, DefaultRootWindow(display),
                               0, CurrentTime, x, y, 0, 0, down ? 0u : Button1Mask, Button1, True};
    }
    XSendEvent(display, w, True, key ? KeyPressMask | KeyReleaseMask : ButtonPressMask | ButtonReleaseMask, &e);
  }
  XSync(display, False);
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

// A host's preview window, with the command line xscreensaver-settings runs:
// the saver draws into it the layout of a 1024 x 768 screen, shrunk to fit.
// The host ends it with SIGTERM, and the window stays as the host made it;
// or destroys the window under it, and the saver ends at once, cleanly.
TEST_F(PrivateDisplay, DrawsIntoTheHostsWindowShrunkToFitAndEndsWithIt) {
  constexpr int kW = 320, kH = 240;
  constexpr unsigned long kBlue = 0x3366cc;  // the host's own background: any pixel still blue was not drawn
  for (bool destroyed : {false, true}) {
    Window host = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 10, 10, kW, kH, 0, 0, kBlue);
    XMapWindow(display_, host);
    XSync(display_, False);
    std::string trace = dir_.file("host.trace");
    char id[32];
    std::snprintf(id, sizeof id, "0x%lX", host);
    pid_t pid = start(QSCR_BINARY, {"--root", "--window-id", id}, trace, {std::string("XSCREENSAVER_WINDOW=") + id});
    ASSERT_GT(pid, 0);
    ASSERT_GE(awaitTrace(trace, "0 print FormQScr \">\"\n"), 0) << readFile(trace);
    if (destroyed) {
      XDestroyWindow(display_, host);
      XSync(display_, False);
      EXPECT_EQ(endsWithin2s(pid), 0) << "an X error ends it with status 1";
      continue;
    }
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
}

// Where `ink` of `drawn` (its pixels unlike white) lies in the picture, pixel for pixel.
std::optional<SDL_Point> placeOf(const SDL_Surface* drawn, const Ink& ink, const Picture& p) {
  for (int oy = 0; oy + ink.height() <= p.height; ++oy)
    for (int ox = 0; ox + ink.width() <= p.width; ++ox) {
      bool same = true;
      for (int y = 0; y < ink.height() && same; ++y)
        for (int x = 0; x < ink.width() && same; ++x) {
          const Color c = pixel(drawn, ink.left + x, ink.top + y);
          same = p.at(ox + x, oy + y) == (static_cast<unsigned long>(c.r) << 16 | c.g << 8 | c.b);
        }
      if (same) return SDL_Point{ox, oy};
    }
  return std::nullopt;
}

// A message box is the program's own, drawn with the scenes' faces on a
// display with no fonts of its own for it: the password box's text is the
// program's drawing of it in MS P Gothic 9 pt, pixel for pixel. Return or a
// click on OK answers it (a click beside OK does not); a quit signal ends it
// as it ends a window; one whose program is killed goes with it. No box is
// left on the screen, nor the lock held.
TEST_F(PrivateDisplay, AMessageBoxEndsWithTheProgram) {
  const std::string title = "QorvexSaver Ver 1.00", password = "パスワードには非対応";
  Sheet sheet(200, 30);
  sheet.label({password, {"MS P Gothic", 9}, Align::Left, colors::black, {0, 0, 200, 30}});
  const SurfacePtr drawn = draw(sheet);
  const Ink ink = inkIn(drawn.get(), colors::white, {0, 0, 200, 30});
  ASSERT_GT(ink.count, 100);
  struct Case {
    std::string words;
    int signal;   // or 0: answered by
    KeySym key;   // or 0: a click on OK
    int status;
  };
  const Case cases[] = {
      {"/C", SIGTERM, 0, 0}, {"/C", SIGHUP, 0, 0}, {"/C", SIGKILL, 0, -1}, {"/A", 0, XK_Return, 0}, {"/A", 0, 0, 0},
  };
  auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a box gone too soon
  for (const Case& c : cases) {
    const std::string row = c.words + " " + (c.signal ? strsignal(c.signal) : c.key ? "Return" : "click");
    pid_t pid = start(QSCR_BINARY, {c.words}, dir_.file("box.trace"));
    ASSERT_GT(pid, 0);
    Window box = 0;
    for (int i = 0; i < 200 && !(box = windowTitled(title)) && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
      std::this_thread::sleep_for(50ms);
    if (!box) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      FAIL() << "no box shown: " << row;
    }
    // Once drawn: the text's ink, and the OK button's caption, the lowest.
    Picture shown;
    Ink ok;
    for (int i = 0; i < 40 && !ok.any(); ++i, std::this_thread::sleep_for(50ms)) {
      shown = pictureOf(display_, box);
      for (int y = shown.height * 2 / 3; y < shown.height; ++y)
        for (int x = 0; x < shown.width; ++x)
          if (shown.dark(x, y)) ok = {std::min(ok.left, x), std::min(ok.top, y), std::max(ok.right, x), y, ok.count + 1};
    }
    EXPECT_TRUE(ok.any()) << row;
    if (c.words == "/A") {
      EXPECT_TRUE(placeOf(drawn.get(), ink, shown)) << "not the program's own drawing: " << row;
    }
    if (c.signal) {
      kill(pid, c.signal);
    } else {
      press(display_, box, 0, 4, 4);
      std::this_thread::sleep_for(300ms);
      EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "a click beside OK answered it: " << row;
      press(display_, box, c.key, (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    }
    EXPECT_EQ(endsWithin2s(pid), c.status) << row;
    for (int i = 0; i < 40 && windowTitled(title); ++i) std::this_thread::sleep_for(50ms);
    if (Window left = windowTitled(title)) {
      ADD_FAILURE() << "the box is still there after " << row;
      XKillClient(display_, left);
      XSync(display_, False);
    }
    EXPECT_TRUE(FileInstanceLock("QScr", dir_.path()).take()) << row;
  }
  XSetErrorHandler(previous);
}

TEST_F(PrivateDisplay, AWindowThatIsNotThereEndsTheSaverWithStatus1) {
  CommandResult r = runSaver("--until 100 -window-id 0x7ffffff0", "DISPLAY=" + name_ + " SDL_AUDIODRIVER=dummy");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("there is no window 0x7ffffff0"), std::string::npos) << r.out;
}

// xscreensaver 6 itself, set up as the README says: a home whose
// .xscreensaver lists the built saver with -root. Activated, it starts the
// saver in its window, which shows the first glyph; deactivated, it sends
// SIGTERM and destroys the window, and the saver ends with status 0 and no X
// error in xscreensaver's log. xscreensaver runs no display mode for root: a
// test run by root runs it as nobody.
TEST_F(PrivateDisplay, RunsInXScreenSaverAndEndsCleanlyWhenItDeactivates) {
  if (runCommand("command -v xscreensaver && command -v xscreensaver-command").status != 0)
    GTEST_SKIP() << "no xscreensaver installed";
  TempDir home;
  std::vector<std::string> as;  // what runs a command as xscreensaver's user
  std::vector<std::string> env = {"HOME=" + home.path(), "DISPLAY=" + name_, "XDG_RUNTIME_DIR",
                                  "XDG_CACHE_HOME", "XDG_CONFIG_HOME", "SDL_VIDEODRIVER"};
  std::string saver = QSCR_BINARY;
  if (geteuid() == 0) {
    as = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    ASSERT_EQ(chown(home.path().c_str(), 65534, 65534), 0);
    if (runCommand("setpriv --reuid=65534 --regid=65534 --clear-groups test -x " + saver).status != 0) {
      // A build tree nobody may enter: a copy of the saver, and of the leak
      // checker's suppressions, in nobody's home.
      std::filesystem::copy_file(saver, home.file("QScr"));
      saver = home.file("QScr");
      std::string lsan = std::getenv("LSAN_OPTIONS") ? std::getenv("LSAN_OPTIONS") : "";
      if (auto at = lsan.find("suppressions="); at != std::string::npos) {
        at += std::strlen("suppressions=");
        const std::size_t n = lsan.find(':', at) - at;
        std::filesystem::copy_file(lsan.substr(at, n), home.file("lsan.supp"));
        env.push_back("LSAN_OPTIONS=" + lsan.replace(at, n, home.file("lsan.supp")));
      }
    }
  }
  std::ofstream(home.file(".xscreensaver")) << "mode: one\nselected: 0\nfade: False\nunfade: False\n"
                                            << "programs: \"QorvexSaver\" " << saver << " -root \\n\\\n\n";
  // Its output to `out`.
  auto spawnAs = [&](std::vector<std::string> args, const std::string& out) {
    args.insert(args.begin(), as.begin(), as.end());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const pid_t pid = spawnProgram(args, env, &actions);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  };
  auto command = [&](const char* what) { return waitFor(spawnAs({"xscreensaver-command", what}, "/dev/null")); };
  const std::string log = dir_.file("xscreensaver.log");
  const pid_t daemon = spawnAs({"xscreensaver", "-no-splash", "-verbose"}, log);
  ASSERT_GT(daemon, 0);
  // The saver is xscreensaver's grandchild: once xscreensaver's helper is
  // gone, its status comes here.
  prctl(PR_SET_CHILD_SUBREAPER, 1);
  auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // its window may go any time
  for (int i = 0; i < 100 && command("-activate") != 0; ++i) std::this_thread::sleep_for(50ms);

  // Its log line "forked "…QScr --root" in pid N on window 0xW".
  int pid = 0;
  unsigned long window = 0;
  std::string text;
  for (int i = 0; i < 200 && !window; ++i, std::this_thread::sleep_for(50ms)) {
    std::istringstream lines(text = readFile(log));
    for (std::string l; !window && std::getline(lines, l);)
      if (auto in = l.find("\" in pid "); in != std::string::npos && l.find("QScr") < in)
        std::sscanf(l.c_str() + in, "\" in pid %d on window %lx", &pid, &window);
  }
  EXPECT_NE(window, 0u) << text;
  int white = 0;
  XWindowAttributes a{};
  for (int i = 0; i < 100 && window && white < 1000; ++i, std::this_thread::sleep_for(100ms)) {
    if (!XGetWindowAttributes(display_, window, &a)) continue;
    XImage* image = XGetImage(display_, window, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    if (!image) continue;
    white = 0;
    for (int y = 0; y < a.height; y += 2)
      for (int x = 0; x < a.width; x += 2) white += (XGetPixel(image, x, y) & 0xffffff) == 0xffffff;
    XDestroyImage(image);
  }
  EXPECT_GE(white, 1000) << "the tape drive in xscreensaver's window";

  EXPECT_EQ(command("-deactivate"), 0);
  constexpr int kRunning = -2, kTakenByHost = -3;
  int status = pid ? kRunning : 0;
  for (int i = 0; i < 100 && status == kRunning; ++i, std::this_thread::sleep_for(50ms)) {
    int st = 0;
    if (waitpid(pid, &st, WNOHANG) == pid) status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    else if (kill(pid, 0) != 0) status = kTakenByHost;  // which names any status but 0 in its log
  }
  command("-exit");
  kill(daemon, SIGTERM);
  waitFor(daemon);
  while (waitpid(-1, nullptr, WNOHANG) > 0) {  // its other orphans
  }
  prctl(PR_SET_CHILD_SUBREAPER, 0);
  XSetErrorHandler(previous);
  if (status != kTakenByHost) {
    EXPECT_EQ(status, 0) << "-2: still running";
  }
  text = readFile(log);
  EXPECT_EQ(text.find("X Error"), std::string::npos) << text;
  EXPECT_EQ(text.find("exited abnormally"), std::string::npos) << text;
}

}  // namespace
}  // namespace qs::test
