// The real programs, live: on an X server of the suite's own (Xvfb), under a
// window manager (openbox), on weston, in xscreensaver, and from the shell.
#include <gtest/gtest.h>
// After GoogleTest: Xlib's macros (None, Bool, ...) would break its headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/scrnsaver.h>
#include <X11/keysym.h>
#include <sys/prctl.h>
#include <sys/stat.h>

#include <deque>
#include <filesystem>
#include <map>
#include <sstream>

#include "app/trusted_module.h"
#include "host/instance_lock.h"
#include "platform/sdl/audio/soundfont.h"
#include "platform/sdl/video/video_start.h"
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
const std::string kQspeId = "io.github.qorvex.Qspe", kQscrId = "io.github.qorvex.QScr";

struct Shown {
  std::string windowClass, title;
  unsigned long iconSide = 0, iconCentre = 0;  // _NET_WM_ICON's width and middle pixel (ARGB)
  bool above = false;                          // kept above other windows
  unsigned long pid = 0;
};

// An X server of the suite's own (Xvfb), on a display number it picks itself,
// and a connection to it; skipped without Xvfb.
class Live : public ::testing::Test {
 protected:
  static constexpr int kWidth = 1024, kHeight = 768;
  static void SetUpTestSuite() {
    static const TempDir run;
    const std::string file = run.file("display");  // the number, as Xvfb writes it on descriptor 3
    server_ = spawnProgram(
        {"sh", "-c", "exec Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>" + file + " 2>/dev/null"});
    std::string number;
    if (server_ <= 0 || !eventually([&] { return (number = readFile(file)).ends_with('\n'); }, 10)) return;
    name_ = ":" + number.substr(0, number.size() - 1);
    display_ = XOpenDisplay(name_.c_str());
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // a window may go while it is read
  }
  static void TearDownTestSuite() {
    if (display_) XCloseDisplay(display_);
    if (server_ > 0) kill(server_, SIGTERM), waitpid(server_, nullptr, 0);
  }
  void SetUp() override {
    if (!display_) GTEST_SKIP() << "no Xvfb to run the programs on";
  }

  // A real program on the private display, its trace in `trace`; `env`
  // changes its environment further. The display choices are the test's own
  // (a scale another run kept would change the picture).
  pid_t start(const std::string& binary, std::vector<std::string> args, const std::string& trace,
              std::vector<std::string> env = {}) {
    std::remove(trace.c_str());
    args.insert(args.begin(), {binary, "--trace", trace});
    env.insert(env.begin(), {"DISPLAY=" + name_, "SDL_VIDEODRIVER", "WAYLAND_DISPLAY", "SDL_AUDIODRIVER=dummy",
                             "XDG_RUNTIME_DIR=" + dir_.path(), "XDG_CONFIG_HOME=" + dir_.path()});
    return spawnProgram(args, env);
  }
  // A program folder of the test's own with the build's media: the build's
  // own would carry one run's scores into the next.
  std::string programDir() {
    makeProgramDir(dirs_.emplace_back(), false);
    return dirs_.back().path();
  }
  // The trace of the game run headless with `args`, in a program folder of its own (`dir`, or one with media).
  std::string headless(const std::string& args, std::string dir = "") {
    dir = dir.empty() ? programDir() : dir;
    return runCommand(std::string(QSPE_BINARY) + " --headless --dir " + dir + " " + args + " --trace -").out;
  }
  void settings(const std::string& lines) {
    fs::create_directories(dir_.file("qspe"));
    std::ofstream(dir_.file("qspe/settings")) << lines;
  }
  // The viewable top-level windows now, and a window manager's clients in their frames.
  std::map<Window, Shown> windows() {
    std::map<Window, Shown> seen;
    const Window root = DefaultRootWindow(display_);
    Window parent, *kids = nullptr;
    unsigned count = 0;
    XQueryTree(display_, root, &parent, &parent, &kids, &count);
    std::vector<Window> all(kids, kids + count);
    if (kids) XFree(kids);
    for (Window w : property<Window>(root, "_NET_CLIENT_LIST", XA_WINDOW)) all.push_back(w);
    for (Window w : all) {
      XWindowAttributes a{};
      if (!XGetWindowAttributes(display_, w, &a) || a.map_state != IsViewable) continue;
      Shown& s = seen[w];
      XClassHint hint{};
      if (XGetClassHint(display_, w, &hint)) {
        s.windowClass = std::string(hint.res_name) + "," + hint.res_class;
        XFree(hint.res_name), XFree(hint.res_class);
      }
      const auto title = property<char>(w, "_NET_WM_NAME", XInternAtom(display_, "UTF8_STRING", False));
      s.title.assign(title.begin(), title.end());
      const auto v = property<unsigned long>(w, "_NET_WM_ICON", XA_CARDINAL);
      if (v.size() >= 2 && v.size() == 2 + v[0] * v[1])
        s.iconSide = v[0], s.iconCentre = v[2 + v[0] / 2 * (v[0] + 1)] & 0xffffffff;
      const Atom above = XInternAtom(display_, "_NET_WM_STATE_ABOVE", False);
      s.above = std::ranges::count(property<Atom>(w, "_NET_WM_STATE", XA_ATOM), above);
      for (unsigned long pid : property<unsigned long>(w, "_NET_WM_PID", XA_CARDINAL)) s.pid = pid;
    }
    return seen;
  }
  // The window titled `title`, or of the program `pid`; 0 if none.
  Window find(const std::string& title, pid_t pid = 0) {
    for (const auto& [w, s] : windows())
      if (pid ? s.pid == static_cast<unsigned long>(pid) : s.title == title) return w;
    return 0;
  }
  // Its exit status (as waitFor's) once it ends; each window it mapped till
  // then carries `id` and the icon (the face's yellow), and there were `count`.
  int endsShowing(pid_t pid, const std::string& id, std::size_t count) {
    std::map<Window, Shown> seen;
    int status = -1;
    for (int i = 0; i < 3000 && waitpid(pid, &status, WNOHANG) == 0; ++i, std::this_thread::sleep_for(20ms)) {
      seen.merge(windows());
      sawSaverOn_ = sawSaverOn_ || screenSaverOn();
    }
    EXPECT_EQ(seen.size(), count);
    for (const auto& [w, s] : seen)
      EXPECT_EQ(std::tuple(s.windowClass, s.iconSide, s.iconCentre), std::tuple(id + "," + id, 64ul, 0xffffd600ul));
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // What `w` shows now; none if it is gone. (Xvfb's depth 24 keeps pixels of 32 bits.)
  SurfacePtr shot(Window w) {
    XWindowAttributes a{};
    XImage* i = XGetWindowAttributes(display_, w, &a) ? XGetImage(display_, w, 0, 0, a.width, a.height, ~0ul, ZPixmap)
                                                      : nullptr;
    SurfacePtr s(i ? SDL_CreateRGBSurfaceWithFormat(0, i->width, i->height, 32, SDL_PIXELFORMAT_RGB888) : nullptr);
    for (int y = 0; s && y < s->h; ++y)
      std::memcpy(static_cast<char*>(s->pixels) + y * s->pitch, i->data + y * i->bytes_per_line, s->w * 4);
    if (i) XDestroyImage(i);
    return s;
  }
  // How many pixels of `w` are `c`, of every `step`th row and column.
  int pixelsOf(Window w, Color c, int step = 2) {
    const SurfacePtr s = shot(w);
    int n = 0;
    for (int y = 0; s && y < s->h; y += step)
      for (int x = 0; x < s->w; x += step) n += pixel(s.get(), x, y) == c;
    return n;
  }
  // The press and release of `key`, or (0) of the left button at (x, y) of
  // `w`, once it has the focus; the pointer moved there for a click only.
  void press(Window w, KeySym key, int x = 0, int y = 0) {
    XSetInputFocus(display_, w, RevertToParent, CurrentTime);
    if (!key) XWarpPointer(display_, 0, w, 0, 0, 0, 0, x, y);
    XSync(display_, False);
    std::this_thread::sleep_for(200ms);
    for (bool down : {true, false}) {
      XEvent e{};
      XKeyEvent& k = e.xkey;  // a button's event has the same fields, its button for the key's code
      k.type = key ? (down ? KeyPress : KeyRelease) : (down ? ButtonPress : ButtonRelease);
      k.display = display_, k.window = w, k.root = DefaultRootWindow(display_), k.x = x, k.y = y, k.same_screen = True;
      k.keycode = key ? XKeysymToKeycode(display_, key) : Button1;
      k.state = key || down ? 0 : Button1Mask;
      XSendEvent(display_, w, True, key ? KeyPressMask | KeyReleaseMask : ButtonPressMask | ButtonReleaseMask, &e);
    }
    XSync(display_, False);
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
  bool screenSaverOn() {
    XScreenSaverInfo info{};
    XScreenSaverQueryInfo(display_, DefaultRootWindow(display_), &info);
    return info.state == ScreenSaverOn;
  }

  static inline pid_t server_ = -1;
  static inline std::string name_;
  static inline Display* display_ = nullptr;
  TempDir dir_;
  std::deque<TempDir> dirs_;
  bool sawSaverOn_ = false;
};

// The game's windows carry its desktop id and icon; it plays the keys, its
// music through the audio output module, keeps the display awake, ends
// cleanly, and its record replays headless to the same trace.
TEST_F(Live, TheGamePlaysWithSoundAndItsRecordReplaysHeadless) {
  const std::string script = dir_.file("two.script"), rec = dir_.file("rec.script"), trace = dir_.file("live.trace");
  std::ofstream(script) << kTwoGames;
  XSetScreenSaver(display_, 1, 0, DontPreferBlanking, AllowExposures);
  const std::vector<std::string> disk = {"SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + dir_.file("out.raw")};
  const pid_t pid = start(
      QSPE_BINARY, {"--dir", programDir(), "--script", script, "--record", rec, "--until", "9000", "--scale", "1"},
      trace, disk);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(endsShowing(pid, kQspeId, 4), 0);  // the splash's window, the menu's, each game's
  EXPECT_FALSE(sawSaverOn_) << "the game keeps the display awake";
  XSetScreenSaver(display_, 0, 0, DontPreferBlanking, AllowExposures);
  EXPECT_EQ(headless("--script " + rec), readFile(trace));  // the splash's timer on time, too
  if (findSoundFont(std::getenv("SDL_SOUNDFONTS")).path.empty()) return;
  const Bytes raw = readBytes(dir_.file("out.raw"));
  int peak = 0;  // of the signed 16-bit samples SDL's disk driver wrote
  for (std::size_t i = 0; i + 1 < raw.size(); i += 2)
    peak = std::max(peak, std::abs(static_cast<std::int16_t>(raw[i] | raw[i + 1] << 8)));
  EXPECT_GT(peak, 1000) << "the menu's music, not silence";
}

// The saver's window covers the screen from its corner, above the others,
// with its desktop id and icon, lets the display's own saver start, and
// ends at a key.
TEST_F(Live, TheSaverCoversTheScreenAboveTheOthersAndEndsAtAKey) {
  settings("scale=3\n");  // the screen's own pixels, whatever the kept scale
  XSetScreenSaver(display_, 1, 0, DontPreferBlanking, AllowExposures);
  const pid_t pid = start(QSCR_BINARY, {"/S"}, dir_.file("saver.trace"));
  ASSERT_GT(pid, 0);
  Window w = 0;
  XWindowAttributes a{};
  EXPECT_TRUE(eventually([&] { return XGetWindowAttributes(display_, w = find("", pid), &a) && a.width == kWidth; }));
  EXPECT_EQ((std::array{a.x, a.y, a.width, a.height}), (std::array{0, 0, kWidth, kHeight}));
  EXPECT_TRUE(windows()[w].above);
  EXPECT_TRUE(eventually([&] { return screenSaverOn(); }, 10));
  XSetScreenSaver(display_, 0, 0, DontPreferBlanking, AllowExposures);
  XResetScreenSaver(display_);
  if (w) press(w, XK_space);  // the pointer still: a move would end it too
  EXPECT_EQ(endsShowing(pid, kQscrId, 1), 0);
}

// xscreensaver 6 set up as the README says: activated, it runs the saver in
// its window, where the saver shows the tape drive and opens none of its own;
// deactivated, it ends it with SIGTERM, and the saver ends cleanly.
TEST_F(Live, TheSaverRunsInXScreenSaverAndEndsCleanlyWhenItDeactivates) {
  if (runCommand("command -v xscreensaver && command -v xscreensaver-command").status != 0)
    GTEST_SKIP() << "no xscreensaver installed";
  TempDir home;
  std::vector<std::string> env = {"HOME=" + home.path(), "DISPLAY=" + name_, "XDG_RUNTIME_DIR",
                                  "XDG_CACHE_HOME",      "XDG_CONFIG_HOME",  "SDL_VIDEODRIVER"};
  std::string as, saver = QSCR_BINARY;
  if (geteuid() == 0) {
    // xscreensaver runs no display mode for root: it runs as nobody, with
    // copies of the saver and of the leak checker's suppressions out of a
    // build tree nobody may enter.
    as = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    ASSERT_EQ(chown(home.path().c_str(), 65534, 65534), 0);
    fs::copy_file(QSCR_BINARY, saver = home.file("QScr"));
    std::string lsan = std::getenv("LSAN_OPTIONS") ? std::getenv("LSAN_OPTIONS") : "";
    if (auto at = lsan.find("suppressions="); at != std::string::npos) {
      at += std::strlen("suppressions=");
      const std::size_t n = lsan.find(':', at) - at;
      fs::copy_file(lsan.substr(at, n), home.file("lsan.supp"));
      env.push_back("LSAN_OPTIONS=" + lsan.replace(at, n, home.file("lsan.supp")));
    }
  }
  std::ofstream(home.file(".xscreensaver")) << "mode: one\nselected: 0\nfade: False\nunfade: False\n"
                                            << "programs: \"QorvexSaver\" " << saver << " -root \\n\\\n\n";
  const std::string log = dir_.file("xscreensaver.log");
  auto run = [&](const std::string& command) { return spawnProgram({"sh", "-c", "exec " + as + command}, env); };
  auto command = [&](const std::string& what) {
    return waitFor(run("xscreensaver-command " + what + " >/dev/null 2>&1"), 30);
  };
  const pid_t daemon = run("xscreensaver -no-splash -verbose >" + log + " 2>&1");
  ASSERT_GT(daemon, 0);
  prctl(PR_SET_CHILD_SUBREAPER, 1);  // the saver is xscreensaver's grandchild: its status may come here
  eventually([&] { return command("-activate") == 0; });
  // Its log line "forked "…QScr -root" in pid N on window 0xW".
  int pid = 0;
  unsigned long window = 0;
  EXPECT_TRUE(eventually([&] {
    const std::string text = readFile(log);
    const auto at = text.find("\" in pid ", text.find("QScr -"));  // -root, or --root as xscreensaver writes it
    return at != std::string::npos && std::sscanf(text.c_str() + at, "\" in pid %d on window %lx", &pid, &window) == 2;
  })) << readFile(log);
  EXPECT_TRUE(eventually([&] { return window && pixelsOf(window, colors::white) >= 1000; })) << "not the tape drive";
  for (const auto& [w, s] : windows()) EXPECT_NE(s.windowClass, kQscrId + "," + kQscrId) << "a window of its own";
  EXPECT_EQ(command("-deactivate"), 0);
  int status = -1;  // as waitpid gives it; -1 when its host took it, which logs any status but 0
  EXPECT_TRUE(eventually([&] { return pid > 0 && (waitpid(pid, &status, WNOHANG) == pid || kill(pid, 0) != 0); }, 10));
  command("-exit");
  kill(daemon, SIGTERM);
  waitFor(daemon, 30);
  while (waitpid(-1, nullptr, WNOHANG) > 0) continue;  // its other orphans
  prctl(PR_SET_CHILD_SUBREAPER, 0);
  EXPECT_TRUE(status == -1 || (WIFEXITED(status) && WEXITSTATUS(status) == 0)) << status;
  const std::string text = readFile(log);
  EXPECT_EQ(text.find("X Error"), std::string::npos) << text;
  EXPECT_EQ(text.find("exited abnormally"), std::string::npos) << text;
}

// Natively on Wayland (weston's X11 backend on the private server), the game
// shows the menu and plays as its headless run does.
TEST_F(Live, OnWaylandTheGamePlaysAsItsHeadlessRunDoes) {
  const TempDir runtime;
  const pid_t weston = spawnProgram({"weston", "--backend=x11-backend.so", "--socket=wayland-qspe", "--idle-time=0",
                                     "--width=1024", "--height=768", "--log=" + runtime.file("weston.log")},
                                    {"DISPLAY=" + name_, "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR=" + runtime.path(),
                                     "XDG_CONFIG_HOME=" + runtime.path()});
  const std::unique_ptr<const pid_t, void (*)(const pid_t*)> ender(&weston, [](const pid_t* p) {
    if (*p > 0) kill(-*p, SIGTERM), waitFor(*p, 30);
  });
  if (weston <= 0 || !eventually([&] { return fs::exists(runtime.file("wayland-qspe.lock")); }, 10))
    GTEST_SKIP() << "no weston to run the game on";
  // Its window mapped, the pointer in the output's corner where no window opens: no mouse moves.
  eventually([&] { return !windows().empty(); }, 10);
  XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, kWidth - 4, kHeight - 4);
  XSync(display_, False);
  const std::string script = dir_.file("two.script"), live = dir_.file("wayland.trace");
  std::ofstream(script) << kTwoGames;
  // Under the sanitizers the Wayland side's libraries still hold memory at
  // exit: the program's own leaks are looked for in its X11 runs.
  const std::string asan = std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "";
  const pid_t pid =
      start(QSPE_BINARY, {"--dir", programDir(), "--script", script, "--until", "9000", "--scale", "2"}, live,
            {"DISPLAY", "SDL_VIDEODRIVER=wayland", "WAYLAND_DISPLAY=wayland-qspe", "XDG_RUNTIME_DIR=" + runtime.path(),
             "ASAN_OPTIONS=" + asan + ":detect_leaks=0"});
  ASSERT_GT(pid, 0);
  ASSERT_GE(awaitTrace(live, "3000 show FormMain\n"), 0) << readFile(live);
  // The menu's purple on weston's output, most of its 564 x 456 pixels at scale 2.
  EXPECT_TRUE(
      eventually([&] { return pixelsOf(DefaultRootWindow(display_), Color::rgb(128, 0, 128), 1) > 100000; }, 5));
  EXPECT_EQ(waitFor(pid), 0);
  const std::string played = headless("--script " + script + " --until 9000");
  EXPECT_EQ(readFile(live), played);
  EXPECT_NE(played.find(" show FormQBL\n"), std::string::npos) << played;
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
  };
  const Case cases[] = {{"/C", SIGTERM, 0, 0}, {"/C", SIGKILL, 0, -1}, {"/A", 0, XK_Return, 0}, {"/A", 0, 0, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.words) + " " + std::to_string(c.signal) + " " + std::to_string(c.key));
    const pid_t pid = start(QSCR_BINARY, {c.words}, dir_.file("box.trace"));
    ASSERT_GT(pid, 0);
    Window box = 0;
    ASSERT_TRUE(eventually([&] { return (box = find(title)) != 0; }));
    // Once drawn: its upper half's ink on white is the text, the program's
    // drawing; in the lower third the OK button stands out from the panel.
    Ink ok;
    bool same = false, withText = std::string_view(c.words) == "/A";
    eventually([&] {
      const SurfacePtr s = shot(box);
      if (!s) return false;
      const Ink words = inkIn(s.get(), colors::white, {0, 0, s->w, s->h / 2});
      ok = inkIn(s.get(), pixel(s.get(), 0, s->h - 1), {0, s->h * 2 / 3, s->w, s->h / 3});
      same = words.width() == text.width() && words.height() == text.height();
      for (int y = 0; same && y < text.height(); ++y)
        for (int x = 0; same && x < text.width(); ++x)
          same = pixel(s.get(), words.left + x, words.top + y) == pixel(drawn.get(), text.left + x, text.top + y);
      return ok.any() && (same || !withText);  // the text may come a moment later
    });
    ASSERT_TRUE(ok.any());
    EXPECT_TRUE(same || !withText) << "not the program's own drawing";
    if (c.signal) {
      kill(pid, c.signal);
    } else {
      press(box, 0, 2, (ok.top + ok.bottom) / 2);
      std::this_thread::sleep_for(300ms);
      EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "a click beside OK answered it";
      press(box, c.key, (ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    }
    EXPECT_EQ(waitFor(pid, 20), c.status);
    EXPECT_TRUE(eventually([&] { return !find(title); }, 5)) << "the box is still there";
    if (Window left = find(title)) XKillClient(display_, left);
    EXPECT_TRUE(FileInstanceLock("QScr", dir_.path()).take()) << "the lock is left held";
  }
}

// SDL wakes its wait with an event sent to its window on a connection of its
// own; a window just destroyed (a box answered) may be gone when the server
// takes that event, and that must not end the program.
TEST_F(Live, AnEventSentToAWindowJustGoneDoesNotEndTheProgram) {
  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0), XSetErrorHandler(nullptr);  // a group waitFor can kill; Xlib's own handler, which ends the program
    setenv("DISPLAY", name_.c_str(), 1), setenv("SDL_VIDEODRIVER", "x11", 1);
    std::string error;
    Display* other = startVideo("test", error) ? XOpenDisplay(nullptr) : nullptr;
    if (!other) _exit(2);
    XEvent e{};
    e.xclient.type = ClientMessage, e.xclient.format = 32;
    const Window gone = XCreateSimpleWindow(other, DefaultRootWindow(other), 0, 0, 1, 1, 0, 0, 0);
    XDestroyWindow(other, gone), XSendEvent(other, gone, False, NoEventMask, &e), XFlush(other);
    SDL_Quit(), XSync(other, False);  // its error read once SDL has closed its display, as at a program's end
    _exit(0);
  }
  EXPECT_EQ(waitFor(pid, 20), 0);
}

// Under a window manager (openbox): the player's chosen Pause key, or
// another window taking the focus, pauses the game (its title saying so)
// with the run's clock stopped, no scene seeing the key, till a quit signal
// ends it; the record of it all replays headless to the same inputs.
TEST_F(Live, ChosenKeysPlayAndThePauseKeyOrAWindowWithoutTheFocusPauses) {
  if (runCommand("command -v openbox").status != 0) GTEST_SKIP() << "no openbox installed";
  const pid_t wm = spawnProgram({"openbox"}, {"DISPLAY=" + name_});
  std::this_thread::sleep_for(500ms);
  settings("key.Pause=p\n");
  const std::string trace = dir_.file("run.trace"), rec = dir_.file("rec.script");
  const std::string& empty = dirs_.emplace_back().path();  // no media: quicker to start and to end
  const pid_t pid = start(QSPE_BINARY, {"--scale", "1", "--dir", empty, "--record", rec}, trace);
  ASSERT_GT(pid, 0);
  ASSERT_GE(awaitTrace(trace, " show FormMain\n"), 3000) << readFile(trace);
  const std::string title = "QorvexSpecial!! - Ver. Millennium -";
  Window game = 0;
  ASSERT_TRUE(eventually([&] { return (game = find(title)) != 0; }));
  auto paused = [&](bool on) {
    return eventually([&] { return windows()[game].title == (on ? title + " \u2014 paused" : title); });
  };
  press(game, XK_p);
  EXPECT_TRUE(paused(true)) << windows()[game].title;
  press(game, XK_p);
  EXPECT_TRUE(paused(false)) << windows()[game].title;
  const Window other = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 100, 100, 0, 0, 0);
  XMapWindow(display_, other);
  XSync(display_, False);
  std::this_thread::sleep_for(300ms);
  for (Window focus : {other, game, other}) {
    XSetInputFocus(display_, focus, RevertToParent, CurrentTime);
    XSync(display_, False);
    EXPECT_TRUE(paused(focus == other)) << windows()[game].title;
    if (focus == game) press(game, XK_Right);  // between the pauses, a key for the menu
  }
  kill(pid, SIGTERM);  // paused, with nothing else coming, it ends all the same, at once
  EXPECT_EQ(waitFor(pid, 5), 0);
  XDestroyWindow(display_, other);
  kill(wm, SIGTERM);
  waitFor(wm, 10);

  // The trace's keys, pauses and end.
  auto inputs = [](const std::string& trace) {
    std::vector<std::string> kept;
    std::istringstream lines(trace);
    for (std::string l; std::getline(lines, l);)
      if (l.find(" key ") != std::string::npos || l.ends_with(" pause") || l.ends_with(" resume") ||
          l.ends_with(" end"))
        kept.push_back(l);
    return kept;
  };
  const std::string t = readFile(trace);
  std::vector<std::int64_t> stops;  // each pause's time and its resume's
  for (const std::string& l : inputs(t))
    if (l.ends_with(" pause") || l.ends_with(" resume")) stops.push_back(std::stoll(l));
  ASSERT_EQ(stops.size(), 6u) << t;
  EXPECT_GT(stops[0], 3000) << t;
  EXPECT_EQ(stops, (std::vector{stops[0], stops[0], stops[2], stops[2], stops[4], stops[4]})) << t;
  EXPECT_EQ(t.find(" key "), t.find(" key FormMain down Right\n")) << "the Pause key reached the menu: " << t;
  // Replayed, the record gives the same inputs at the same times. (Not yet
  // the whole trace: a key taken live on the very millisecond of a timer
  // comes after the timer there, and before it in the replay.)
  EXPECT_EQ(inputs(headless("--script " + rec, dirs_.emplace_back().path())), inputs(t));
}

// A quit signal, or the game's window closed, while a waiting sound holds
// the game ends the hold at once; the game scene unloads and writes its
// record, and what follows is stamped, and runs, as if the sound had played
// out: the run's end 2 s after the sound's comes about 2 s after the close.
TEST_F(Live, AQuitOrACloseDuringASoundEndsTheHoldAsIfTheSoundHadPlayedOut) {
  constexpr int kSoundMs = 60000;
  writeBytes(dir_.file("start.wav"), wavOfMs(kSoundMs));  // the shooter's game start waits for it
  const std::string script = dir_.file("demo.script"), trace = dir_.file("run.trace");
  std::ofstream(script) << "3300 down Z\n3350 up Z\n4000 down Z\n4050 up Z\n";
  for (int sig : {SIGTERM, SIGHUP, 0}) {
    SCOPED_TRACE("signal " + std::to_string(sig));
    std::remove(dir_.file("Qspe.dat").c_str());
    const pid_t pid =
        start(QSPE_BINARY, {"--dir", dir_.path(), "--script", script, "--until", "66000", "--scale", "1"}, trace);
    ASSERT_GT(pid, 0);
    const std::int64_t held = awaitTrace(trace, " wav start.wav wait 60000\n");
    ASSERT_GE(held, 0) << readFile(trace);
    if (sig) {
      kill(pid, sig);
    } else {
      XEvent e{};
      e.xclient.type = ClientMessage, e.xclient.window = find("", pid), e.xclient.format = 32;
      e.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
      e.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
      ASSERT_NE(e.xclient.window, 0u) << "the game's window";
      XSendEvent(display_, e.xclient.window, False, NoEventMask, &e);
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

// Every live run keeps the scale chosen last for the next runs; 0 goes back
// to the largest at which every window, framed, fits the dummy driver's
// 1024 x 768 screen: 2, as the Forever scene is 4350 twips (290 pixels) tall.
// The splash, 4575 twips (305 pixels) wide, shows it.
TEST(LiveRun, TheScaleChosenLastIsKeptForTheNextRuns) {
  const TempDir config;
  const std::string script = config.file("scale.script"), splash = config.file("s.png");
  std::ofstream(script) << "100 shot FormStartUp " << splash << "\n";
  for (const auto& [scale, factor] : {std::pair{"--scale 3", 3}, {"", 3}, {"--scale 0", 2}, {"", 2}}) {
    std::remove(splash.c_str());
    const CommandResult r = runCommand("XDG_CONFIG_HOME=" + config.path() + " SDL_VIDEODRIVER=dummy " QSPE_BINARY " " +
                                       scale + " --script " + script + " --until 200");
    EXPECT_EQ(r.status, 0) << scale << "\n" << r.out;
    const Bytes b = readBytes(splash);  // a PNG's width: bytes 16 to 19, big-endian
    EXPECT_EQ(b.size() < 24 ? 0 : b[16] << 24 | b[17] << 16 | b[18] << 8 | b[19], 305 * factor) << scale;
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
  };
  // clang-format off
  const Case cases[] = {
      {"beside", false, "", nullptr},
      {"installed", true, "", nullptr},
      {"missing", false, "rm $M", ""},
      {"cut short", false, "truncate -s 32768 $M", "it is cut short"},
      {"a FIFO", false, "rm $M && mkfifo $M", "it is not a regular file"},
      {"in a group-writable folder", true, "chmod g+w $D", "/qspe can be written by others"},
      {"in a shared folder", true, "chmod 1777 $T", " can be written by others"},
      {"another user's", true, "chown 65534 $D", "/qspe is owned by another user"}};
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (std::string_view(c.name) == "another user's" && geteuid() != 0) continue;  // only root can give it away
    const TempDir dir;
    const fs::path tree = dir.path(), bin = tree / "bin", folder = c.installed ? bin / QSPE_PREFIX_FROM_BIN : bin;
    const fs::path down = c.installed ? QSPE_AUDIO_MODULE_IN_PREFIX : "";
    fs::create_directories(bin);
    fs::create_directories(folder / down);
    fs::copy_file(QSPE_AUDIO_MODULE, folder / down / module);
    const std::string spoil = "cd " + (folder / down).string() + " && M=" + module + " D=. T=" + tree.string();
    ASSERT_EQ(runCommand(spoil + " sh -c '" + c.spoil + "'").status, 0);
    const ModuleFile file = openTrustedModule(folder, down, module);
    if (file.fd >= 0) close(file.fd);
    EXPECT_EQ(file.found, !c.refusal || *c.refusal);
    EXPECT_EQ(file.fd >= 0, !c.refusal) << file.why;
    EXPECT_NE(file.why.find(c.refusal ? c.refusal : ""), std::string::npos) << file.why;
    if (std::string_view(c.name) != "cut short") continue;  // the one refusal run live
    fs::copy_file(QSPE_BINARY, bin / "Qspe");
    const CommandResult r =
        runCommand("SDL_VIDEODRIVER=offscreen " + (bin / "Qspe").string() +
                   " --dir " QSPE_PROGRAM_DIR " --until 3100 --scale 1 --trace " + dir.file("run.trace"));
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
  const TempDir runtime;  // no Wayland socket in it
  const std::string script = runtime.file("bad.script"), noDisplay = ": cannot open a display: neither X11 ";
  struct Case {
    const char* binary;
    std::string args, said;  // "SCRIPT" in args stands for the script file, holding `text`
    std::string text = "", env = "";
    int status = 2;  // 1: `said` is all it says
  };
  // clang-format off
  const Case cases[] = {
      {QSPE_BINARY, "--bogus", "unknown option --bogus"},
      {QSPE_BINARY, "--headless --until 10 stray", "unexpected word stray"},
      {QSPE_BINARY, "--headless", "needs --script or --until"},
      {QSPE_BINARY, "--headless --until 2147483648", "--until takes a time in ms from 0 to 2147483647"},
      {QSPE_BINARY, "--scale 13 --fullscreen", "--scale takes a whole number from 0 to 12"},
      {QSPE_BINARY, "--headless --script SCRIPT", "needs --until or a script with events", "# nothing\n\n"},
      {QSPE_BINARY, "--headless --until 10 --dir SCRIPT", "is not a folder", "0 dump\n"},
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
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    std::string args = c.args;
    if (auto at = args.find("SCRIPT"); at != std::string::npos) args.replace(at, 6, script);
    std::ofstream(script) << c.text;
    const std::string env =
        "env -u SDL_VIDEODRIVER -u XSCREENSAVER_WINDOW " + c.env + " XDG_RUNTIME_DIR=" + runtime.path();
    const CommandResult r = runCommand(env + " " + c.binary + (c.status == 2 ? " --trace - " : " ") + args);
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
