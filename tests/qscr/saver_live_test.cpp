// The real saver on a private X server (Xvfb) of the test's own: it lets the
// display's own screen saver start while it runs, and inside a host's window
// it draws there, shrunk to a preview's size, and leaves the window to the
// host. Skipped where Xvfb is not installed.
#include <gtest/gtest.h>
// After GoogleTest: Xlib's macros (None, Bool, ...) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/scrnsaver.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>

#include <filesystem>

#include "platform/sdl/font_finder.h"
#include "runtime/instance_lock.h"
#include "support/process.h"

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

// One Xvfb for the suite, on a display number it picks itself; the suite
// holds a connection to it throughout.
class PrivateDisplay : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    int devnull = open("/dev/null", O_WRONLY);
    posix_spawn_file_actions_adddup2(&actions, devnull, 2);
    server_ = spawnProgram({"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
                           {}, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(devnull);
    close(fds[1]);
    std::string number;
    pollfd p{fds[0], POLLIN, 0};
    char c;
    while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    if (server_ <= 0 || number.empty()) return;
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
    if (display_) offerBoxFont();
  }
  // Xvfb has no core font but "fixed", and SDL's message box wants a
  // scalable one: a TrueType face of the system's, under names it looks for.
  static void offerBoxFont() {
    std::string error;
    auto faces = findFaces({standardFaces().front()}, error);
    if (!faces) return;
    const std::string dir = tempFile("fonts");
    std::filesystem::create_directory(dir);
    std::error_code ignored;
    std::filesystem::create_symlink(faces->begin()->second.style(false, false).path, dir + "/box.ttf", ignored);
    std::ofstream(dir + "/fonts.dir") << "2\nbox.ttf -misc-box-medium-r-normal--0-0-0-0-p-0-iso10646-1\n"
                                         "box.ttf -misc-box-medium-r-normal--0-0-0-0-p-0-iso8859-1\n";
    int n = 0;
    char** old = XGetFontPath(display_, &n);
    std::vector<char*> path(old, old + n);
    std::string entry = dir;
    path.push_back(entry.data());
    XSetFontPath(display_, path.data(), static_cast<int>(path.size()));
    XFreeFontPath(old);
    XSync(display_, False);
  }
  static void TearDownTestSuite() {
    if (display_) XCloseDisplay(display_);
    display_ = nullptr;
    if (server_ > 0) {
      kill(server_, SIGTERM);
      waitpid(server_, nullptr, 0);
    }
    server_ = -1;
  }
  void SetUp() override {
    if (!display_) GTEST_SKIP() << "no Xvfb to run the saver on";
  }

  // A real program on the private display, its trace in `trace`.
  pid_t start(const std::string& binary, std::vector<std::string> args, const std::string& trace) {
    std::remove(trace.c_str());
    args.insert(args.begin(), {binary, "--trace", trace});
    // The test says which display and driver, not the caller's session.
    return spawnProgram(args, {"DISPLAY=" + name_, "SDL_VIDEODRIVER", "SDL_AUDIODRIVER=dummy",
                               "XDG_RUNTIME_DIR=" + dir_.path()});
  }
  // A window of the screen's own (there is no window manager) titled `title`; 0 if none.
  Window windowTitled(const std::string& title) {
    Window root = 0, parent = 0, *children = nullptr, found = 0;
    unsigned n = 0;
    XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &n);
    for (unsigned i = 0; i < n && !found; ++i) {
      XTextProperty name{};
      if (XGetWMName(display_, children[i], &name) && name.value) {
        if (title == reinterpret_cast<const char*>(name.value)) found = children[i];
        XFree(name.value);
      }
    }
    if (children) XFree(children);
    return found;
  }
  XScreenSaverInfo screenSaver() {
    XScreenSaverInfo info{};
    XScreenSaverQueryInfo(display_, DefaultRootWindow(display_), &info);
    return info;
  }

  static pid_t server_;
  static std::string name_;
  static Display* display_;
  TempDir dir_;
};
pid_t PrivateDisplay::server_ = -1;
std::string PrivateDisplay::name_;
Display* PrivateDisplay::display_ = nullptr;

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
      info = screenSaver();
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

// A message box ends on a quit signal as a window does, and one whose program
// is killed goes with it: no box is left on the screen, nor the lock held.
TEST_F(PrivateDisplay, AMessageBoxEndsWithTheProgram) {
  const std::string title = "QorvexSaver Ver 1.00";
  // The exit status, or -1 when killed; none if the program is still there after 2 s.
  auto endsWithin2s = [](pid_t pid) -> std::optional<int> {
    int status = 0;
    for (int i = 0; i < 40; ++i, std::this_thread::sleep_for(50ms))
      if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return std::nullopt;
  };
  for (auto [signal, status] : {std::pair{SIGTERM, 0}, {SIGHUP, 0}, {SIGKILL, -1}}) {
    pid_t pid = start(QSCR_BINARY, {"/C"}, dir_.file("box.trace"));
    ASSERT_GT(pid, 0);
    for (int i = 0; i < 200 && !windowTitled(title) && waitpid(pid, nullptr, WNOHANG) == 0; ++i)
      std::this_thread::sleep_for(50ms);
    if (!windowTitled(title)) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      GTEST_SKIP() << "SDL shows no message box on this display";
    }
    kill(pid, signal);
    EXPECT_EQ(endsWithin2s(pid), status) << strsignal(signal);
    for (int i = 0; i < 40 && windowTitled(title); ++i) std::this_thread::sleep_for(50ms);
    if (Window left = windowTitled(title)) {
      ADD_FAILURE() << "the box is still there after " << strsignal(signal);
      XKillClient(display_, left);
      XSync(display_, False);
    }
    EXPECT_TRUE(FileInstanceLock("QScr", dir_.path()).take()) << strsignal(signal);
  }
}

TEST_F(PrivateDisplay, AWindowThatIsNotThereEndsTheSaverWithStatus1) {
  CommandResult r = runSaver("--until 100 -window-id 0x7ffffff0", "DISPLAY=" + name_ + " SDL_AUDIODRIVER=dummy");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("there is no window 0x7ffffff0"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace qs::test
