// The game live on X with a window manager (openbox): the player's chosen
// keys play it, and it pauses while another window has the focus.
#include "support/private_display.h"
// After Xlib itself.
#include <X11/Xatom.h>
#include <X11/keysym.h>

#include <filesystem>

namespace qs::test {
namespace {

using namespace std::chrono_literals;

class WithWindowManager : public PrivateDisplay {
 protected:
  // The window, framed or not, whose _NET_WM_NAME is `title`; 0 if none.
  Window named(const std::string& title, Window in = 0) {
    if (!in) in = DefaultRootWindow(display_);
    Window root, parent, *kids = nullptr, found = 0;
    unsigned n = 0;
    XQueryTree(display_, in, &root, &parent, &kids, &n);
    for (unsigned i = 0; i < n && !found; ++i) found = titleOf(kids[i]) == title ? kids[i] : named(title, kids[i]);
    if (kids) XFree(kids);
    return found;
  }
  std::string titleOf(Window w) {
    Atom type;
    int format;
    unsigned long items, left;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(display_, w, XInternAtom(display_, "_NET_WM_NAME", False), 0, 256, False,
                           XInternAtom(display_, "UTF8_STRING", False), &type, &format, &items, &left, &data) == Success && data) {
      title.assign(reinterpret_cast<char*>(data), items);
      XFree(data);
    }
    return title;
  }
  void key(Window w, KeySym sym) {
    for (bool down : {true, false}) {
      XEvent e{};
      e.xkey = XKeyEvent{down ? KeyPress : KeyRelease, 0, True, display_, w, DefaultRootWindow(display_), 0,
                         CurrentTime, 0, 0, 0, 0, 0, XKeysymToKeycode(display_, sym), True};
      XSendEvent(display_, w, True, KeyPressMask | KeyReleaseMask, &e);
    }
    XSync(display_, False);
  }
  void focus(Window w) {
    XSetInputFocus(display_, w, RevertToParent, CurrentTime);
    XSync(display_, False);
  }
  template <class F>
  bool eventually(F done) {
    for (int i = 0; i < 400 && !done(); ++i) std::this_thread::sleep_for(50ms);
    return done();
  }
};

TEST_F(WithWindowManager, ChosenKeysPlayAndAWindowWithoutTheFocusPauses) {
  if (runCommand("command -v openbox").status != 0) GTEST_SKIP() << "no openbox installed";
  auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });  // windows go while searched
  const pid_t wm = spawnProgram({"openbox"}, {"DISPLAY=" + name_});
  std::this_thread::sleep_for(500ms);
  std::filesystem::create_directories(dir_.file("qspe"));
  std::ofstream(dir_.file("qspe/settings")) << "key.Right=d\n";
  const std::string trace = dir_.file("run.trace");
  const pid_t pid = start(QSPE_BINARY, {"--scale", "1", "--dir", dir_.path()}, trace);
  ASSERT_GT(pid, 0);
  ASSERT_GE(awaitTrace(trace, " show FormMain\n"), 3000) << readFile(trace);
  const std::string title = "QorvexSpecial!! - Ver. Millennium -";
  Window game = 0;
  ASSERT_TRUE(eventually([&] { return (game = named(title)) != 0; }));
  focus(game);
  std::this_thread::sleep_for(300ms);
  key(game, XK_d);
  key(game, XK_Right);
  EXPECT_GE(awaitTrace(trace, " key FormMain up 255\n"), 3000) << readFile(trace);

  // Another window takes the focus: paused, and the title says so; back, it goes on.
  const Window other = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 100, 100, 0, 0, 0);
  XMapWindow(display_, other);
  XSync(display_, False);
  std::this_thread::sleep_for(300ms);
  focus(other);
  EXPECT_TRUE(eventually([&] { return titleOf(game) == title + " \u2014 paused"; })) << titleOf(game);
  std::this_thread::sleep_for(1s);
  focus(game);
  EXPECT_TRUE(eventually([&] { return titleOf(game) == title; })) << titleOf(game);
  kill(pid, SIGTERM);
  EXPECT_EQ(waitFor(pid, 30), 0);
  XDestroyWindow(display_, other);
  kill(wm, SIGTERM);
  waitFor(wm, 10);
  XSetErrorHandler(previous);

  const std::string t = readFile(trace);
  EXPECT_NE(t.find(" key FormMain down Right\n"), std::string::npos) << t;
  const std::int64_t paused = awaitTrace(trace, " pause\n");
  EXPECT_GT(paused, 3000) << t;
  EXPECT_EQ(awaitTrace(trace, " resume\n"), paused) << t;
}

}  // namespace
}  // namespace qs::test
