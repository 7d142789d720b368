// The programs on the desktops: every X11 window carries the desktop id and
// the icon, the game plays natively on Wayland (weston on the private X
// server) as its headless run does, and with no display at all both programs
// say so and end.
#include "support/private_display.h"
#include "support/program_keys.h"
// After Xlib itself.
#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>

namespace qs::test {
namespace {

using namespace std::chrono_literals;

// The game from its splash to the menu, into a game and out, and into another.
const char* const kTwoGames =
    "seed 3\n5000 down Z\n5010 up Z\n6000 down X\n6010 up X\n7500 down Right\n7510 up Right\n"
    "8000 down Z\n8010 up Z\n";
constexpr const char* kTwoGamesUntil = "9000";

struct Shown {
  std::string windowClass;
  unsigned long iconSide = 0, iconCentre = 0;  // _NET_WM_ICON's width and middle pixel (ARGB)
};

class ProgramsOnX11 : public PrivateDisplay {
 protected:
  // The program's mapped windows, polled until it ends with `status`.
  std::map<Window, Shown> windowsOf(pid_t pid, int& status) {
    std::map<Window, Shown> seen;
    const Atom icon = XInternAtom(display_, "_NET_WM_ICON", False);
    while (waitpid(pid, &status, WNOHANG) == 0) {
      Window root, parent, *children = nullptr;
      unsigned count = 0;
      XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count);
      for (unsigned i = 0; i < count; ++i) {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(display_, children[i], &a) || a.map_state != IsViewable) continue;
        Shown s;
        XClassHint hint{};
        if (XGetClassHint(display_, children[i], &hint)) {
          s.windowClass = std::string(hint.res_name) + "," + hint.res_class;
          XFree(hint.res_name);
          XFree(hint.res_class);
        }
        Atom type;
        int format;
        unsigned long items, left;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, children[i], icon, 0, 1 << 16, False, XA_CARDINAL, &type, &format, &items,
                               &left, &data) == Success && data) {
          const auto* v = reinterpret_cast<const unsigned long*>(data);
          if (items >= 2 && items == 2 + v[0] * v[1]) {
            s.iconSide = v[0];
            s.iconCentre = v[2 + v[0] / 2 * v[0] + v[0] / 2] & 0xffffffff;
          }
          XFree(data);
        }
        seen[children[i]] = s;
      }
      if (children) XFree(children);
      std::this_thread::sleep_for(20ms);
    }
    return seen;
  }
};

TEST_F(ProgramsOnX11, EveryWindowCarriesTheDesktopIdAndTheIcon) {
  const std::string script = dir_.file("two-games.script");
  std::ofstream(script) << kTwoGames;
  struct Case {
    std::string binary;
    std::vector<std::string> args;
    std::string id;
    std::size_t windows;
  };
  const Case cases[] = {
      // the splash's, the menu's and each game's
      {QSPE_BINARY, {"--script", script, "--until", kTwoGamesUntil, "--scale", "1"}, "io.github.qorvex.Qspe", 4},
      {QSCR_BINARY, {"--until", "1500", "/S"}, "io.github.qorvex.QScr", 1},
  };
  for (const Case& c : cases) {
    const pid_t pid = start(c.binary, c.args, dir_.file("run.trace"));
    ASSERT_GT(pid, 0);
    int status = -1;
    const auto seen = windowsOf(pid, status);
    EXPECT_EQ(status, 0) << c.binary;
    EXPECT_EQ(seen.size(), c.windows) << c.binary;
    for (const auto& [window, s] : seen) {
      EXPECT_EQ(s.windowClass, c.id + "," + c.id) << c.binary;
      EXPECT_EQ(s.iconSide, 64u) << c.binary;
      EXPECT_EQ(s.iconCentre, 0xffffd600u) << c.binary;  // the face's yellow
    }
  }
}

// Weston with its X11 backend on the private X server, its output the
// whole screen. Skipped where weston is not installed.
class ProgramsOnWayland : public PrivateDisplay {
 protected:
  static void SetUpTestSuite() {
    PrivateDisplay::SetUpTestSuite();
    if (!display_) return;
    runtime_.emplace();  // weston's socket; a folder of mode 0700
    compositor_ = spawnProgram({"weston", "--backend=x11-backend.so", "--socket=wayland-qspe", "--idle-time=0",
                                "--width=" + std::to_string(kWidth), "--height=" + std::to_string(kHeight),
                                 "--log=" + runtime_->file("weston.log")},
                               {"DISPLAY=" + name_, "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR=" + runtime_->path(),
                                "XDG_CONFIG_HOME=" + runtime_->path()});
    for (int i = 0; i < 200 && compositor_ > 0 && !ready(); ++i) std::this_thread::sleep_for(50ms);
    std::this_thread::sleep_for(500ms);  // its window mapped
    // The pointer rests in the output's corner, where no window opens: the
    // run gets no mouse moves that its headless run would not.
    XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, kWidth - 4, kHeight - 4);
    XSync(display_, False);
  }
  static void TearDownTestSuite() {
    endServer(compositor_);
    runtime_.reset();
    PrivateDisplay::TearDownTestSuite();
  }
  static bool ready() { return std::filesystem::exists(runtime_->file("wayland-qspe.lock")); }
  void SetUp() override {
    PrivateDisplay::SetUp();
    if (!IsSkipped() && !ready()) GTEST_SKIP() << "no weston to run the game on";
  }

  // Pixels of the screen of exactly each colour.
  std::map<unsigned long, int> colours(const std::vector<unsigned long>& wanted) {
    std::map<unsigned long, int> count;
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
    if (!image) return count;
    for (int y = 0; y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x)
        if (unsigned long p = XGetPixel(image, x, y) & 0xffffff; std::find(wanted.begin(), wanted.end(), p) != wanted.end())
          ++count[p];
    XDestroyImage(image);
    return count;
  }

  static inline pid_t compositor_ = -1;
  static inline std::optional<TempDir> runtime_;
};

TEST_F(ProgramsOnWayland, TheGamePlaysNativelyThroughTwoGamesAsItsHeadlessRunDoes) {
  const std::string script = dir_.file("two-games.script"), live = dir_.file("live.trace");
  std::ofstream(script) << kTwoGames;
  // Under the sanitizers the Wayland side's libraries (Mesa's GL, libdecor's
  // plugin and the fonts it reads, the frames SDL 2.26 leaves) still hold
  // memory at exit: the program's own leaks are looked for in its X11 runs.
  const char* asan = std::getenv("ASAN_OPTIONS");
  // Each run in a program folder of its own, from the same record: the
  // build's folder holds whatever the runs before left there.
  const TempDir liveDir, headlessDir;
  makeProgramDir(liveDir, false);
  makeProgramDir(headlessDir, false);
  const pid_t pid = start(QSPE_BINARY,
                          {"--dir", liveDir.path(), "--script", script, "--until", kTwoGamesUntil, "--scale", "2"}, live,
                          {"DISPLAY", "SDL_VIDEODRIVER=wayland", "WAYLAND_DISPLAY=wayland-qspe",
                           "XDG_RUNTIME_DIR=" + runtime_->path(),
                           "ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":detect_leaks=0"});
  ASSERT_GT(pid, 0);
  // The menu, on weston's output: its purple, the darker face behind and the white titles.
  constexpr unsigned long kPurple = 0x800080, kFace = 0x400040, kWhite = 0xffffff;
  ASSERT_GE(awaitTrace(live, "3000 show FormMain\n"), 0) << readFile(live);
  std::map<unsigned long, int> menu;
  for (int i = 0; i < 30 && menu[kPurple] < 100000; ++i) {
    std::this_thread::sleep_for(50ms);
    menu = colours({kPurple, kFace, kWhite});
  }
  EXPECT_GT(menu[kPurple], 100000);  // of the 564 x 456 pixels at scale 2
  EXPECT_GT(menu[kFace], 10000);
  EXPECT_GT(menu[kWhite], 5000);
  EXPECT_EQ(waitFor(pid), 0);
  const std::string trace = readFile(live);
  EXPECT_NE(trace.find(" show FormQBL\n"), std::string::npos) << trace;  // the second game
  const CommandResult headless =
      runCommand(std::string(QSPE_BINARY) + " --headless --dir " + headlessDir.path() + " --script " + script +
                 " --until " + kTwoGamesUntil + " --trace -");
  EXPECT_EQ(trace, headless.out);
}

TEST(NoDisplay, BothProgramsSayItInOneLineAndExitWith1) {
  const TempDir runtime;  // no Wayland socket in it
  struct Case {
    const char* binary;
    std::string args, env, said;
  };
  const std::string line = ": cannot open a display: neither X11 ";
  const Case cases[] = {
      {QSPE_BINARY, "--until 100", "-u DISPLAY -u WAYLAND_DISPLAY",
       "Qspe" + line + "(DISPLAY unset) nor Wayland (WAYLAND_DISPLAY unset) answers\n"},
      {QSCR_BINARY, "--until 100 /S", "DISPLAY=:9999 WAYLAND_DISPLAY=nowhere",
       "QScr" + line + "(DISPLAY=:9999) nor Wayland (WAYLAND_DISPLAY=nowhere) answers\n"},
  };
  for (const Case& c : cases) {
    const CommandResult r = runCommand("env -u SDL_VIDEODRIVER -u XSCREENSAVER_WINDOW " + c.env +
                                       " XDG_RUNTIME_DIR=" + runtime.path() + " " + c.binary + " " + c.args);
    EXPECT_EQ(r.status, 1) << c.binary;
    EXPECT_EQ(r.out, c.said);
  }
}

}  // namespace
}  // namespace qs::test
