// The real programs, live: on an X server of the suite's own (Xvfb), under a
// window manager (openbox), in a host's window, and from the shell.
#include <gtest/gtest.h>
// After GoogleTest: Xlib's macros (None, Bool, ...) would break its headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/scrnsaver.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "app/trusted_module.h"
#include "host/instance_lock.h"
#include "platform/sdl/audio/soundfont.h"
#include "sdl/paint_support.h"
#include "support/media_bytes.h"
#include "support/process.h"
#include "support/program_keys.h"

namespace qs::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// From the splash to the menu, into a game and out, and into another.
const char* const kTwoGames =
    "seed 3\n5000 down Z\n5010 up Z\n6000 down X\n6010 up X\n7500 down Right\n7510 up Right\n8000 down Z\n8010 up Z\n";

// Polls `done` every 50 ms for up to `seconds`; whether it came true.
template <class F>
bool eventually(F done, int seconds = 30) {
  for (int i = 0; i < seconds * 20; ++i, std::this_thread::sleep_for(50ms))
    if (done()) return true;
  return done();
}

struct Shown {
  std::string windowClass;
  unsigned long iconSide = 0, iconCentre = 0;  // _NET_WM_ICON's width and middle pixel (ARGB)
  bool above = false;                          // kept above other windows
};

// An X server of the suite's own (Xvfb), on a display number it picks itself
// (written on descriptor 3), and a connection to it; skipped without Xvfb.
class Live : public ::testing::Test {
 protected:
  static constexpr int kWidth = 1024, kHeight = 768;
  static void SetUpTestSuite() {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    server_ = spawnProgram({"Xvfb", "-displayfd", "3", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"},
                           {}, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    pollfd p{fds[0], POLLIN, 0};
    std::string number;
    for (char c; poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n';) number += c;
    close(fds[0]);
    if (server_ <= 0 || number.empty()) return;
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window may go while it is read
  }
  static void TearDownTestSuite() {
    if (display_) XCloseDisplay(display_);
    display_ = nullptr;
    if (server_ > 0) kill(server_, SIGTERM), waitpid(server_, nullptr, 0);
  }
  void SetUp() override {
    if (!display_) GTEST_SKIP() << "no Xvfb to run the programs on";
  }

  // A real program on the private display, its trace in `trace`; `env`
  // changes its environment further.
  pid_t start(const std::string& binary, std::vector<std::string> args, const std::string& trace,
              std::vector<std::string> env = {}) {
    std::remove(trace.c_str());
    args.insert(args.begin(), {binary, "--trace", trace});
    // The test says which display and driver, not the caller's session; the
    // display choices are the test's own (a scale another run kept would change the picture).
    for (const std::string& d : {"DISPLAY=" + name_, std::string("SDL_VIDEODRIVER"), std::string("WAYLAND_DISPLAY"),
                                std::string("SDL_AUDIODRIVER=dummy"), "XDG_RUNTIME_DIR=" + dir_.path(),
                                "XDG_CONFIG_HOME=" + dir_.path()}) {
      const std::string name = d.substr(0, d.find('='));
      if (std::ranges::none_of(env, [&](const std::string& e) { return e.substr(0, e.find('=')) == name; }))
        env.push_back(d);
    }
    return spawnProgram(args, env);
  }
  // The viewable top-level windows now, with their class and icon.
  std::map<Window, Shown> windows() {
    std::map<Window, Shown> seen;
    Window root, parent, *kids = nullptr;
    unsigned count = 0;
    XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &kids, &count);
    for (unsigned i = 0; i < count; ++i) {
      XWindowAttributes a{};
      if (!XGetWindowAttributes(display_, kids[i], &a) || a.map_state != IsViewable) continue;
      Shown& s = seen[kids[i]];
      XClassHint hint{};
      if (XGetClassHint(display_, kids[i], &hint)) {
        s.windowClass = std::string(hint.res_name) + "," + hint.res_class;
        XFree(hint.res_name), XFree(hint.res_class);
      }
      const auto v = property<unsigned long>(kids[i], "_NET_WM_ICON", XA_CARDINAL);
      if (v.size() >= 2 && v.size() == 2 + v[0] * v[1]) s.iconSide = v[0], s.iconCentre = v[2 + v[0] / 2 * v[0] + v[0] / 2] & 0xffffffff;
      s.above = std::ranges::count(property<Atom>(kids[i], "_NET_WM_STATE", XA_ATOM), XInternAtom(display_, "_NET_WM_STATE_ABOVE", False));
    }
    if (kids) XFree(kids);
    return seen;
  }
  // Every window the program maps until it ends: each carries `id` and the icon (the face's yellow).
  std::size_t windowsUntilEnd(pid_t pid, const std::string& id, int& status) {
    std::map<Window, Shown> seen;
    for (int i = 0; i < 3000 && waitpid(pid, &status, WNOHANG) == 0; ++i, std::this_thread::sleep_for(20ms)) {
      seen.merge(windows());
      sawSaverOn_ = sawSaverOn_ || screenSaverOn();
    }
    for (const auto& [w, s] : seen) {
      EXPECT_EQ(s.windowClass, id + "," + id);
      EXPECT_EQ(s.iconSide, 64u);
      EXPECT_EQ(s.iconCentre, 0xffffd600u);
    }
    return seen.size();
  }
  XImage* image(Window w) {
    XWindowAttributes a{};
    return XGetWindowAttributes(display_, w, &a) ? XGetImage(display_, w, 0, 0, a.width, a.height, AllPlanes, ZPixmap)
                                                 : nullptr;
  }
  // Whether `w` shows at least `least` white pixels of every other row and column.
  bool showsWhite(Window w, int least) {
    XImage* shot = image(w);
    int white = 0;
    for (int y = 0; shot && y < shot->height; y += 2)
      for (int x = 0; x < shot->width; x += 2) white += (XGetPixel(shot, x, y) & 0xffffff) == 0xffffff;
    if (shot) XDestroyImage(shot);
    return white >= least;
  }
  // The press and release of `key`, or (0) of the left button at (x, y) of `w`, once it has the focus.
  void press(Window w, KeySym key, int x = 0, int y = 0, bool point = true) {
    XSetInputFocus(display_, w, RevertToParent, CurrentTime);
    if (point) XWarpPointer(display_, 0, w, 0, 0, 0, 0, x, y);
    XSync(display_, False);
    std::this_thread::sleep_for(200ms);
    for (bool down : {true, false}) {
      XEvent e{};
      if (key)
        e.xkey = XKeyEvent{down ? KeyPress : KeyRelease, 0, True, display_, w, DefaultRootWindow(display_), 0,
                           CurrentTime, 0, 0, 0, 0, 0, XKeysymToKeycode(display_, key), True};
      else
        e.xbutton = XButtonEvent{down ? ButtonPress : ButtonRelease, 0, True, display_, w, DefaultRootWindow(display_),
                                 0, CurrentTime, x, y, 0, 0, down ? 0u : Button1Mask, Button1, True};
      XSendEvent(display_, w, True, key ? KeyPressMask | KeyReleaseMask : ButtonPressMask | ButtonReleaseMask, &e);
    }
    XSync(display_, False);
  }
  // The window, framed by a window manager or not, whose _NET_WM_NAME is `title`; 0 if none.
  Window named(const std::string& title, Window in = 0) {
    Window root, parent, *kids = nullptr, found = 0;
    unsigned n = 0;
    XQueryTree(display_, in ? in : DefaultRootWindow(display_), &root, &parent, &kids, &n);
    for (unsigned i = 0; i < n && !found; ++i) found = titleOf(kids[i]) == title ? kids[i] : named(title, kids[i]);
    if (kids) XFree(kids);
    return found;
  }
  // The items of the property `name` of `w`, of 8 or 32 bits (as `T`); none if it has none.
  template <class T>
  std::vector<T> property(Window w, const char* name, Atom type) {
    Atom got;
    int format;
    unsigned long items = 0, left;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, w, XInternAtom(display_, name, False), 0, 1 << 16, False, type, &got, &format, &items,
                       &left, &data);
    std::vector<T> v(reinterpret_cast<T*>(data), reinterpret_cast<T*>(data) + (data ? items : 0));
    if (data) XFree(data);
    return v;
  }
  std::string titleOf(Window w) {
    const auto title = property<char>(w, "_NET_WM_NAME", XInternAtom(display_, "UTF8_STRING", False));
    return {title.begin(), title.end()};
  }
  bool screenSaverOn() {
    XScreenSaverInfo info{};
    XScreenSaverQueryInfo(display_, DefaultRootWindow(display_), &info);
    return info.state == ScreenSaverOn;
  }

  static inline pid_t server_ = -1;
  static inline std::string name_;
  static inline Display* display_ = nullptr;
  TempDir dir_;
  bool sawSaverOn_ = false;
};

// The game's windows carry its desktop id and icon; it plays the keys, its
// music through the audio output module, keeps the display awake, ends
// cleanly, and its record replays headless to the same trace.
TEST_F(Live, TheGamePlaysWithSoundAndItsRecordReplaysHeadless) {
  const std::string script = dir_.file("two.script"), rec = dir_.file("rec.script"), trace = dir_.file("live.trace");
  std::ofstream(script) << kTwoGames;
  // Program folders of the test's own, each with the same record: the build's
  // own would carry the last run's scores into the next.
  TempDir liveDir, replayDir;
  makeProgramDir(liveDir, false);
  makeProgramDir(replayDir, false);
  XSetScreenSaver(display_, 1, 0, DontPreferBlanking, AllowExposures);
  const pid_t pid = start(QSPE_BINARY, {"--dir", liveDir.path(), "--script", script, "--record", rec, "--until", "9000",
                                        "--scale", "1"}, trace,
                          {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + dir_.file("out.raw")});
  ASSERT_GT(pid, 0);
  int status = -1;
  EXPECT_EQ(windowsUntilEnd(pid, "io.github.qorvex.Qspe", status), 4u);  // the splash's, the menu's, each game's
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_FALSE(sawSaverOn_) << "the game keeps the display awake";
  XSetScreenSaver(display_, 0, 0, DontPreferBlanking, AllowExposures);
  EXPECT_EQ(runCommand(std::string(QSPE_BINARY) + " --headless --dir " + replayDir.path() + " --script " + rec +
                       " --trace -").out, readFile(trace));  // the splash's timer on time, too
  if (findSoundFont(std::getenv("SDL_SOUNDFONTS")).path.empty()) return;
  const Bytes raw = readBytes(dir_.file("out.raw"));
  int peak = 0;  // of the signed 16-bit samples SDL's disk driver wrote
  for (std::size_t i = 0; i + 1 < raw.size(); i += 2)
    peak = std::max(peak, std::abs(static_cast<std::int16_t>(raw[i] | raw[i + 1] << 8)));
  EXPECT_GT(peak, 1000) << "the menu's music, not silence";
}

// The saver's window covers the screen from its corner, above the others,
// with its desktop id and icon, lets the display's own saver start, and
// ends at a key. Given a host's window
// as xscreensaver gives it (-root and $XSCREENSAVER_WINDOW), it opens none
// of its own, shows the tape drive in the host's and ends cleanly when the
// host ends it with SIGTERM.
TEST_F(Live, TheSaverCoversTheScreenOrRunsInAHostsWindow) {
  fs::create_directories(dir_.file("qspe"));
  std::ofstream(dir_.file("qspe/settings")) << "scale=3\n";  // the screen's own pixels, whatever the kept scale
  XSetScreenSaver(display_, 1, 0, DontPreferBlanking, AllowExposures);
  pid_t pid = start(QSCR_BINARY, {"/S"}, dir_.file("saver.trace"));
  ASSERT_GT(pid, 0);
  Window w = 0;
  EXPECT_TRUE(eventually([&] {
    const auto shown = windows();
    return (w = shown.empty() ? 0 : shown.begin()->first) != 0;
  }));
  XWindowAttributes a{};
  EXPECT_TRUE(eventually([&] { return XGetWindowAttributes(display_, w, &a) && a.width == kWidth; }, 5));
  EXPECT_EQ((std::array{a.x, a.y, a.width, a.height}), (std::array{0, 0, kWidth, kHeight}));
  EXPECT_TRUE(windows()[w].above);
  EXPECT_TRUE(eventually([&] { return screenSaverOn(); }, 10));
  XSetScreenSaver(display_, 0, 0, DontPreferBlanking, AllowExposures);
  XResetScreenSaver(display_);
  if (w) press(w, XK_space, 0, 0, false);  // the pointer still: a move would end it too
  int status = -1;
  EXPECT_EQ(windowsUntilEnd(pid, "io.github.qorvex.QScr", status), 1u);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

  const Window host = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 640, 480, 0, 0, 0);
  XMapWindow(display_, host);
  XSync(display_, False);
  std::ostringstream id;
  id << "0x" << std::hex << host;
  pid = start(QSCR_BINARY, {"-root"}, dir_.file("hosted.trace"), {"XSCREENSAVER_WINDOW=" + id.str()});
  ASSERT_GT(pid, 0);
  EXPECT_TRUE(eventually([&] { return showsWhite(host, 1000); })) << "the tape drive in the host's window";
  EXPECT_EQ(windows().size(), 1u) << "a window of its own";
  kill(pid, SIGTERM);
  EXPECT_EQ(waitFor(pid, 30), 0);
  XDestroyWindow(display_, host);
  XSync(display_, False);
}

// xscreensaver 6 set up as the README says: activated, it runs the saver in
// its window, which shows the tape drive; deactivated, it ends it with
// SIGTERM, and the saver ends cleanly. xscreensaver runs no display mode for
// root: a test run by root runs it as nobody.
TEST_F(Live, TheSaverRunsInXScreenSaverAndEndsCleanlyWhenItDeactivates) {
  if (runCommand("command -v xscreensaver && command -v xscreensaver-command").status != 0)
    GTEST_SKIP() << "no xscreensaver installed";
  TempDir home;
  std::vector<std::string> as, env = {"HOME=" + home.path(), "DISPLAY=" + name_, "XDG_RUNTIME_DIR", "XDG_CACHE_HOME",
                                      "XDG_CONFIG_HOME", "SDL_VIDEODRIVER"};
  std::string saver = QSCR_BINARY;
  if (geteuid() == 0) {
    as = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    ASSERT_EQ(chown(home.path().c_str(), 65534, 65534), 0);
    if (runCommand("setpriv --reuid=65534 --regid=65534 --clear-groups test -x " + saver).status != 0) {
      // A build tree nobody may enter: copies of the saver and of the leak checker's suppressions.
      fs::copy_file(saver, home.file("QScr"));
      saver = home.file("QScr");
      std::string lsan = std::getenv("LSAN_OPTIONS") ? std::getenv("LSAN_OPTIONS") : "";
      if (auto at = lsan.find("suppressions="); at != std::string::npos) {
        at += std::strlen("suppressions=");
        const std::size_t n = lsan.find(':', at) - at;
        fs::copy_file(lsan.substr(at, n), home.file("lsan.supp"));
        env.push_back("LSAN_OPTIONS=" + lsan.replace(at, n, home.file("lsan.supp")));
      }
    }
  }
  std::ofstream(home.file(".xscreensaver")) << "mode: one\nselected: 0\nfade: False\nunfade: False\n"
                                            << "programs: \"QorvexSaver\" " << saver << " -root \\n\\\n\n";
  const std::string log = dir_.file("xscreensaver.log");
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
  auto command = [&](const char* what) { return waitFor(spawnAs({"xscreensaver-command", what}, "/dev/null"), 30); };
  const pid_t daemon = spawnAs({"xscreensaver", "-no-splash", "-verbose"}, log);
  ASSERT_GT(daemon, 0);
  prctl(PR_SET_CHILD_SUBREAPER, 1);  // the saver is xscreensaver's grandchild: its status comes here
  eventually([&] { return command("-activate") == 0; });
  // Its log line "forked "…QScr -root" in pid N on window 0xW".
  int pid = 0;
  unsigned long window = 0;
  EXPECT_TRUE(eventually([&] {
    std::istringstream lines(readFile(log));
    for (std::string l; !window && std::getline(lines, l);)
      if (auto in = l.find("\" in pid "); in != std::string::npos && l.find("QScr") < in)
        std::sscanf(l.c_str() + in, "\" in pid %d on window %lx", &pid, &window);
    return window != 0;
  })) << readFile(log);
  EXPECT_TRUE(eventually([&] { return window && showsWhite(window, 1000); })) << "the tape drive in its window";
  EXPECT_EQ(command("-deactivate"), 0);
  int status = -2;  // running; -3: gone, taken by its host (which logs any status but 0)
  eventually([&] {
    int st = 0;
    if (pid && waitpid(pid, &st, WNOHANG) == pid) status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    else if (!pid || kill(pid, 0) != 0) status = -3;
    return status != -2;
  }, 10);
  command("-exit");
  kill(daemon, SIGTERM);
  waitFor(daemon, 30);
  while (waitpid(-1, nullptr, WNOHANG) > 0) {  // its other orphans
  }
  prctl(PR_SET_CHILD_SUBREAPER, 0);
  EXPECT_TRUE(status == 0 || status == -3) << status;
  const std::string text = readFile(log);
  EXPECT_EQ(text.find("X Error"), std::string::npos) << text;
  EXPECT_EQ(text.find("exited abnormally"), std::string::npos) << text;
}

// Natively on Wayland (weston's X11 backend on the private server), the game
// shows the menu and plays as its headless run does.
TEST_F(Live, OnWaylandTheGamePlaysAsItsHeadlessRunDoes) {
  const TempDir runtime, liveDir, headlessDir;  // each run in a program folder of its own
  const pid_t weston = spawnProgram({"weston", "--backend=x11-backend.so", "--socket=wayland-qspe", "--idle-time=0",
                                     "--width=1024", "--height=768", "--log=" + runtime.file("weston.log")},
                                    {"DISPLAY=" + name_, "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR=" + runtime.path(),
                                     "XDG_CONFIG_HOME=" + runtime.path()});
  struct Ender {
    pid_t pid;
    ~Ender() {
      if (pid > 0) kill(-pid, SIGTERM), waitFor(pid, 30);
    }
  } const ender{weston};
  if (weston <= 0 || !eventually([&] { return fs::exists(runtime.file("wayland-qspe.lock")); }, 10))
    GTEST_SKIP() << "no weston to run the game on";
  // Its window mapped, the pointer in the output's corner where no window opens: no mouse moves.
  eventually([&] { return !windows().empty(); }, 10);
  XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, kWidth - 4, kHeight - 4);
  XSync(display_, False);
  const std::string script = dir_.file("two.script"), live = dir_.file("wayland.trace");
  std::ofstream(script) << kTwoGames;
  makeProgramDir(liveDir, false);
  makeProgramDir(headlessDir, false);
  // Under the sanitizers the Wayland side's libraries still hold memory at
  // exit: the program's own leaks are looked for in its X11 runs.
  const char* asan = std::getenv("ASAN_OPTIONS");
  const pid_t pid = start(QSPE_BINARY, {"--dir", liveDir.path(), "--script", script, "--until", "9000", "--scale", "2"},
                          live, {"DISPLAY", "SDL_VIDEODRIVER=wayland", "WAYLAND_DISPLAY=wayland-qspe",
                                 "XDG_RUNTIME_DIR=" + runtime.path(),
                                 "ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":detect_leaks=0"});
  ASSERT_GT(pid, 0);
  ASSERT_GE(awaitTrace(live, "3000 show FormMain\n"), 0) << readFile(live);
  // The menu's purple on weston's output, most of its 564 x 456 pixels at scale 2.
  EXPECT_TRUE(eventually([&] {
    XImage* shot = image(DefaultRootWindow(display_));
    int purple = 0;
    for (int y = 0; shot && y < kHeight; ++y)
      for (int x = 0; x < kWidth; ++x) purple += (XGetPixel(shot, x, y) & 0xffffff) == 0x800080;
    if (shot) XDestroyImage(shot);
    return purple > 100000;
  }, 5));
  EXPECT_EQ(waitFor(pid), 0);
  const std::string headless = runCommand(std::string(QSPE_BINARY) + " --headless --dir " + headlessDir.path() +
                                          " --script " + script + " --until 9000 --trace -").out;
  EXPECT_EQ(readFile(live), headless);
  EXPECT_NE(headless.find(" show FormQBL\n"), std::string::npos) << headless;
}

// A message box is the program's own, its text drawn with the scenes' faces
// pixel for pixel. Return or a click on OK answers it (a click beside OK, on
// its row, does not); a quit signal ends it; killed, it goes with its program.
TEST_F(Live, AMessageBoxIsAnsweredOnlyOnOKAndEndsWithTheProgram) {
  const std::string title = "QorvexSaver Ver 1.00";
  Sheet sheet(200, 30);
  sheet.label({"パスワードには非対応", {"MS P Gothic", 9}, Align::Left, colors::black, {0, 0, 200, 30}});
  const SurfacePtr drawn = draw(sheet);
  const Ink text = inkAll(drawn.get(), colors::white);
  struct Case {
    const char* words;
    int signal;  // or 0: answered by
    KeySym key;  // or 0: a click on OK
    int status;
  } const cases[] = {{"/C", SIGTERM, 0, 0}, {"/C", SIGKILL, 0, -1}, {"/A", 0, XK_Return, 0}, {"/A", 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.words) + " " + std::to_string(c.signal) + " " + std::to_string(c.key));
    const pid_t pid = start(QSCR_BINARY, {c.words}, dir_.file("box.trace"));
    ASSERT_GT(pid, 0);
    Window box = 0;
    ASSERT_TRUE(eventually([&] { return (box = named(title)) != 0; }));
    // Once drawn: the OK button's caption is the lowest dark ink; the text is the program's drawing.
    Ink ok;
    bool same = false;
    eventually([&] {
      ok = Ink{}, same = false;
      XImage* shot = image(box);
      if (!shot) return false;
      auto at = [&](int x, int y) { return XGetPixel(shot, x, y) & 0xffffff; };
      for (int y = shot->height * 2 / 3; y < shot->height; ++y)
        for (int x = 0; x < shot->width; ++x)
          if ((at(x, y) & 0x808080) == 0) ok = {std::min(ok.left, x), std::min(ok.top, y), std::max(ok.right, x), y, ok.count + 1};
      for (int oy = 0; !same && oy + text.height() <= shot->height; ++oy)
        for (int ox = 0; !same && ox + text.width() <= shot->width; ++ox) {
          same = true;
          for (int y = 0; same && y < text.height(); ++y)
            for (int x = 0; same && x < text.width(); ++x) {
              const Color p = pixel(drawn.get(), text.left + x, text.top + y);
              same = at(ox + x, oy + y) == (static_cast<unsigned long>(p.r) << 16 | p.g << 8 | p.b);
            }
        }
      XDestroyImage(shot);
      return ok.any() && (same || std::string_view(c.words) != "/A");  // the text may come a moment later
    });
    ASSERT_TRUE(ok.any());
    EXPECT_TRUE(same || std::string_view(c.words) != "/A") << "not the program's own drawing";
    if (c.signal) {
      kill(pid, c.signal);
    } else {
      press(box, 0, 2, (ok.top + ok.bottom) / 2);
      std::this_thread::sleep_for(300ms);
      EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "a click beside OK answered it";
      press(box, c.key, (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    }
    EXPECT_EQ(waitFor(pid, 20), c.status);
    EXPECT_TRUE(eventually([&] { return !named(title); }, 5)) << "the box is still there";
    if (Window left = named(title)) XKillClient(display_, left);
    EXPECT_TRUE(FileInstanceLock("QScr", dir_.path()).take()) << "the lock is left held";
  }
}

// Under a window manager (openbox): the player's chosen keys play the menu;
// the chosen Pause key, or another window taking the focus, pauses the game
// (its title saying so) with the run's clock stopped, no scene seeing the
// key; the record of it all replays headless to the same inputs.
TEST_F(Live, ChosenKeysPlayAndThePauseKeyOrAWindowWithoutTheFocusPauses) {
  if (runCommand("command -v openbox").status != 0) GTEST_SKIP() << "no openbox installed";
  const pid_t wm = spawnProgram({"openbox"}, {"DISPLAY=" + name_});
  std::this_thread::sleep_for(500ms);
  fs::create_directories(dir_.file("qspe"));
  std::ofstream(dir_.file("qspe/settings")) << "key.Right=d\nkey.Pause=p\n";
  const std::string trace = dir_.file("run.trace"), rec = dir_.file("rec.script");
  const TempDir liveDir, replayDir;
  const pid_t pid = start(QSPE_BINARY, {"--scale", "1", "--dir", liveDir.path(), "--record", rec}, trace);
  ASSERT_GT(pid, 0);
  ASSERT_GE(awaitTrace(trace, " show FormMain\n"), 3000) << readFile(trace);
  const std::string title = "QorvexSpecial!! - Ver. Millennium -";
  Window game = 0;
  ASSERT_TRUE(eventually([&] { return (game = named(title)) != 0; }));
  press(game, XK_d, 0, 0, false);
  press(game, XK_Right, 0, 0, false);
  EXPECT_GE(awaitTrace(trace, " key FormMain up 255\n"), 3000) << readFile(trace);
  auto pausedTitle = [&](bool on) {
    return eventually([&] { return titleOf(game) == (on ? title + " \u2014 paused" : title); });
  };
  press(game, XK_p, 0, 0, false);
  EXPECT_TRUE(pausedTitle(true)) << titleOf(game);
  press(game, XK_p, 0, 0, false);
  EXPECT_TRUE(pausedTitle(false)) << titleOf(game);

  const Window other = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 100, 100, 0, 0, 0);
  XMapWindow(display_, other);
  XSync(display_, False);
  std::this_thread::sleep_for(300ms);
  XSetInputFocus(display_, other, RevertToParent, CurrentTime);
  XSync(display_, False);
  EXPECT_TRUE(pausedTitle(true)) << titleOf(game);
  XSetInputFocus(display_, game, RevertToParent, CurrentTime);
  XSync(display_, False);
  EXPECT_TRUE(pausedTitle(false)) << titleOf(game);
  press(game, XK_x, 0, 0, false);  // X on the menu ends the game
  EXPECT_EQ(waitFor(pid, 30), 0);
  XDestroyWindow(display_, other);
  kill(wm, SIGTERM);
  waitFor(wm, 10);

  const std::string t = readFile(trace);
  EXPECT_NE(t.find(" key FormMain down Right\n"), std::string::npos) << t;
  // The trace's keys, pauses and end, as "time what" lines.
  auto inputs = [](const std::string& trace) {
    std::string kept;
    std::istringstream lines(trace);
    for (std::string l; std::getline(lines, l);)
      if (l.find(" key ") != std::string::npos || l.ends_with(" pause") || l.ends_with(" resume") || l.ends_with(" end"))
        kept += l + "\n";
    return kept;
  };
  std::vector<std::int64_t> stops;  // each pause's time and its resume's
  std::istringstream lines(inputs(t));
  for (std::string l; std::getline(lines, l);)
    if (l.ends_with(" pause") || l.ends_with(" resume")) stops.push_back(std::stoll(l));
  ASSERT_EQ(stops.size(), 4u) << t;
  EXPECT_GT(stops[0], 3000) << t;
  EXPECT_EQ(stops[1], stops[0]) << t;
  EXPECT_EQ(stops[3], stops[2]) << t;
  EXPECT_EQ(t.find(" key ", t.find(" key FormMain up 255\n") + 1), t.find(" key FormMain down X\n"))
      << "the Pause key reached the menu: " << t;
  // Replayed, the record gives the same inputs at the same times. (Not yet
  // the whole trace: a key taken live on the very millisecond of a timer
  // comes after the timer there, and before it in the replay.)
  EXPECT_EQ(runCommand(std::string(QSPE_BINARY) + " --headless --dir " + replayDir.path() + " --script " + rec +
                       " --trace " + dir_.file("replay.trace")).status, 0);
  EXPECT_EQ(inputs(readFile(dir_.file("replay.trace"))), inputs(t));
}

// Every live run keeps the scale chosen last for the next runs; 0 goes back
// to the largest at which every window, framed, fits the dummy driver's
// 1024 x 768 screen: 2, as the Forever scene is 4350 twips (290 pixels) tall.
// The splash, 4575 twips (305 pixels) wide, shows it.
TEST(LiveRun, TheScaleChosenLastIsKeptForTheNextRuns) {
  const TempDir config;
  const std::string script = tempFile("scale.script"), splash = tempFile("s.png");
  std::ofstream(script) << "100 shot FormStartUp " << splash << "\n";
  for (const auto& [scale, factor] : {std::pair{"--scale 3", 3}, {"", 3}, {"--scale 0", 2}, {"", 2}}) {
    std::remove(splash.c_str());
    const CommandResult r = runCommand("XDG_CONFIG_HOME=" + config.path() + " SDL_VIDEODRIVER=dummy " + QSPE_BINARY +
                                       " " + scale + " --script " + script + " --until 200");
    EXPECT_EQ(r.status, 0) << scale << "\n" << r.out;
    const Bytes b = readBytes(splash);  // a PNG's width: bytes 16 to 19, big-endian
    EXPECT_EQ(b.size() < 24 ? 0 : b[16] << 24 | b[17] << 16 | b[18] << 8 | b[19], 305 * factor) << scale;
  }
}

// A quit signal, or the game's window closed, while a waiting sound holds
// the game ends the hold at once; the game scene unloads and writes its
// record, and what follows is stamped, and runs, as if the sound had played
// out: the run's end 2 s after the sound's comes about 2 s after the close.
TEST_F(Live, AQuitOrACloseDuringASoundEndsTheHoldAsIfTheSoundHadPlayedOut) {
  constexpr int kSoundMs = 60000;
  writeBytes(dir_.file("start.wav"), wavOfMs(kSoundMs));  // the shooter's game start waits for it
  std::ofstream(dir_.file("demo.script")) << "3300 down Z\n3350 up Z\n4000 down Z\n4050 up Z\n";
  const std::string trace = dir_.file("run.trace");
  for (int sig : {SIGTERM, SIGHUP, 0}) {
    SCOPED_TRACE("signal " + std::to_string(sig));
    std::remove(dir_.file("Qspe.dat").c_str());
    const pid_t pid = start(QSPE_BINARY, {"--dir", dir_.path(), "--script", dir_.file("demo.script"), "--scale", "1",
                                          "--until", "66000"}, trace);
    ASSERT_GT(pid, 0);
    const std::int64_t held = awaitTrace(trace, " wav start.wav wait 60000\n");
    ASSERT_GE(held, 0) << readFile(trace);
    if (sig) {
      kill(pid, sig);
    } else {
      const auto shown = windows();
      ASSERT_EQ(shown.size(), 1u) << "the game's window alone";
      XEvent e{};
      e.xclient = XClientMessageEvent{ClientMessage, 0, True, display_, shown.begin()->first,
                                      XInternAtom(display_, "WM_PROTOCOLS", False), 32, {}};
      e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
      XSendEvent(display_, shown.begin()->first, False, NoEventMask, &e);
      XSync(display_, False);
    }
    EXPECT_EQ(waitFor(pid, kSoundMs / 3000), 0) << "not a minute's wait";
    const std::string t = readFile(trace);
    const auto unload = t.find(" unload FormQB\n");
    ASSERT_NE(unload, std::string::npos) << t;
    EXPECT_GE(std::stoll(t.substr(t.rfind('\n', unload) + 1)), held + kSoundMs) << t;
    EXPECT_NE(t.find(" write Qspe.dat ", unload), std::string::npos) << t;
    EXPECT_NE(t.find(" show FormMain\n", unload), std::string::npos) << t;
    EXPECT_TRUE(!sig || t.ends_with(" end\n")) << t;  // a close leaves the menu to run till the end
  }
}

// The audio output module is loaded only from where it can be trusted,
// beside the program or in its installed tree; any other is named in one
// line, never loaded, and the game plays on silently.
TEST(LiveRun, TheSoundComesOnlyFromATrustedModuleAndTheGameGoesOnWithoutIt) {
  const std::string module = fs::path(QSPE_AUDIO_MODULE).filename().string();
  umask(022);  // the folders made below are the player's alone
  struct Case {
    const char* name;
    bool installed;       // in the tree's library folder, not beside the program
    const char* spoil;    // a shell command on the module $M, its folder $D and the tree $T
    const char* refusal;  // part of why it is not loaded ("" when it is not found), or null when it loads
  } const cases[] = {
      {"beside", false, "", nullptr},
      {"installed", true, "", nullptr},
      {"missing", false, "rm $M", ""},
      {"cut short", false, "truncate -s 32768 $M", "it is cut short"},
      {"a FIFO", false, "rm $M && mkfifo $M", "it is not a regular file"},
      {"in a group-writable folder", true, "chmod g+w $D", "/qspe can be written by others"},
      {"in a shared folder", true, "chmod 1777 $T", " can be written by others"},
      {"another user's", true, "chown 65534 $D", "/qspe is owned by another user"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string_view(c.name) == "another user's" && geteuid() != 0) continue;  // only root can give it away
    const TempDir dir;
    const fs::path tree = dir.path(), bin = tree / "bin", folder = c.installed ? bin / QSPE_PREFIX_FROM_BIN : bin;
    const fs::path down = c.installed ? QSPE_AUDIO_MODULE_IN_PREFIX : "";
    fs::create_directories(bin);
    fs::create_directories(folder / down);
    fs::copy_file(QSPE_AUDIO_MODULE, folder / down / module);
    ASSERT_EQ(runCommand("M=" + (folder / down / module).string() + " D=" + (folder / down).string() + " T=" +
                         tree.string() + " sh -c '" + c.spoil + "'").status, 0);
    const ModuleFile file = openTrustedModule(folder, down, module);
    if (file.fd >= 0) close(file.fd);
    EXPECT_EQ(file.found, !c.refusal || *c.refusal);
    EXPECT_EQ(file.fd >= 0, !c.refusal) << file.why;
    EXPECT_NE(file.why.find(c.refusal ? c.refusal : ""), std::string::npos) << file.why;
    if (std::string_view(c.name) != "cut short") continue;  // the one refusal run live
    fs::copy_file(QSPE_BINARY, bin / "Qspe");
    const CommandResult r = runCommand("SDL_VIDEODRIVER=offscreen " + (bin / "Qspe").string() + " --dir " +
                                       QSPE_PROGRAM_DIR + " --until 3800 --scale 1 --trace " + dir.file("run.trace"));
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(readFile(dir.file("run.trace")).find("3000 show FormMain\n"), std::string::npos);
    EXPECT_TRUE(r.out.starts_with("Qspe: no sound: cannot load the audio output ")) << r.out;
    EXPECT_TRUE(r.out.ends_with("/" + module + ": " + c.refusal + "\n")) << r.out;
    EXPECT_EQ(r.out.find('\n'), r.out.size() - 1) << r.out;
  }
}

// Anything that cannot run, or could run for ever, exits with 2 before
// anything runs, in one short line, and the usage line unless the script is
// wrong. With no display at all, or a host's window that is no number, the
// programs exit with 1 and say only that, in one line.
TEST(LiveRun, BadCommandLinesOrNoDisplayEndTheProgramsAtOnceSayingWhyInShort) {
  const std::string script = tempFile("bad.script"), noDisplay = ": cannot open a display: neither X11 ";
  const TempDir runtime;  // no Wayland socket in it
  struct Case {
    const char* binary;
    std::string args, said;  // "SCRIPT" in args stands for the script file, holding `text`
    std::string text = "", env = "";
    int status = 2;  // 1: `said` is all it says
  } const cases[] = {
      {QSPE_BINARY, "--bogus", "unknown option --bogus"},
      {QSPE_BINARY, "--headless --until 10 stray", "unexpected word stray"},
      {QSPE_BINARY, "--headless", "needs --script or --until"},
      {QSPE_BINARY, "--headless --until 2147483648", "--until takes a time in ms from 0 to 2147483647"},
      {QSPE_BINARY, "--scale 13 --fullscreen", "--scale takes a whole number from 0 to 12"},
      {QSPE_BINARY, "--headless --script SCRIPT", "needs --until or a script with events", "# nothing\n\n"},
      {QSPE_BINARY, "--headless --until 10 --dir SCRIPT", "is not a folder", "0 dump\n"},
      {QSPE_BINARY, "--headless --script SCRIPT", "line 3: unknown event \"jump\"", "0 down Z\n\n100 jump Z\n"},
      {QSPE_BINARY, "--headless --script SCRIPT", "line 2: time \"50\" is earlier", "100 down Z\n50 up Z\n"},
      {QSPE_BINARY, "--headless --script SCRIPT", "line 1: unknown key \"AAAAAAAAAAAAAAAAAAAAAAAA...\"",
       "0 down " + std::string(1000, 'A') + "\n"},
      {QSCR_BINARY, "--scale 2 /S", "--scale"},  // the saver has no window scale
      {QSPE_BINARY, "--until 100", "Qspe" + noDisplay + "(DISPLAY unset) nor Wayland (WAYLAND_DISPLAY unset) answers\n",
       "", "-u DISPLAY -u WAYLAND_DISPLAY", 1},
      {QSCR_BINARY, "--until 100 /S", "QScr" + noDisplay + "(DISPLAY=:9999) nor Wayland (WAYLAND_DISPLAY=nowhere) answers\n",
       "", "DISPLAY=:9999 WAYLAND_DISPLAY=nowhere", 1},
      {QSCR_BINARY, "--headless --until 100 --window-id foo", "QScr: --window-id takes a window number, not \"foo\"\n", "",
       "", 1},
      {QSCR_BINARY, "--headless --until 100 /s", "QScr: $XSCREENSAVER_WINDOW takes a window number, not \"junk\"\n", "",
       "XSCREENSAVER_WINDOW=junk", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    std::string args = c.args;
    if (auto at = args.find("SCRIPT"); at != std::string::npos) args.replace(at, 6, script);
    std::ofstream(script) << c.text;
    const CommandResult r = runCommand("env -u SDL_VIDEODRIVER -u XSCREENSAVER_WINDOW " + c.env + " XDG_RUNTIME_DIR=" +
                                       runtime.path() + " " + c.binary + (c.status == 2 ? " --trace - " : " ") + args);
    EXPECT_EQ(r.status, c.status) << r.out;
    if (c.status == 1) {
      EXPECT_EQ(r.out, c.said);
      continue;
    }
    const std::string usage = "Usage: " + fs::path(c.binary).filename().string() + " [OPTION]...";
    EXPECT_NE(r.out.find(c.said), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(usage) != std::string::npos, !c.said.starts_with("line")) << r.out;
    EXPECT_LT(r.out.size(), 200u);
    EXPECT_EQ(r.out.find("load "), std::string::npos) << "nothing runs";
  }
}

}  // namespace
}  // namespace qs::test
