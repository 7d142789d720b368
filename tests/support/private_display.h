#pragma once
// An X server (Xvfb) of the test suite's own, on a display number it picks
// itself; the suite holds a connection to it throughout. Tests are skipped
// where Xvfb is not installed.
#include <gtest/gtest.h>
// After GoogleTest: Xlib's macros (None, Bool, ...) would break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>

#include <algorithm>
#include "support/process.h"

namespace qs::test {

// Starts a server that writes its display number on descriptor 3 (Xvfb's
// -displayfd) and waits up to 10 s for it; -1 if none comes.
inline pid_t spawnNumbered(const std::vector<std::string>& args, std::string& number) {
  int fds[2];
  if (pipe(fds) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 3);
  int devnull = open("/dev/null", O_WRONLY);
  posix_spawn_file_actions_adddup2(&actions, devnull, 2);
  const pid_t pid = spawnProgram(args, {}, &actions);
  posix_spawn_file_actions_destroy(&actions);
  close(devnull);
  close(fds[1]);
  pollfd p{fds[0], POLLIN, 0};
  char c;
  while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  return pid;
}

inline void endServer(pid_t& pid) {
  if (pid > 0) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
  }
  pid = -1;
}

class PrivateDisplay : public ::testing::Test {
 protected:
  static constexpr int kWidth = 1024, kHeight = 768;

  static void SetUpTestSuite() {
    std::string number;
    server_ = spawnNumbered({"Xvfb", "-displayfd", "3", "-screen", "0", std::to_string(kWidth) + "x" +
                             std::to_string(kHeight) + "x24", "-nolisten", "tcp", "-noreset"}, number);
    if (server_ <= 0 || number.empty()) return;
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
  }
  static void TearDownTestSuite() {
    if (display_) XCloseDisplay(display_);
    display_ = nullptr;
    endServer(server_);
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
    // The test says which display and driver, not the caller's session.
    // The display choices of the test's own: a scale another run kept would change the picture.
    const std::string defaults[] = {"DISPLAY=" + name_, "SDL_VIDEODRIVER", "WAYLAND_DISPLAY", "SDL_AUDIODRIVER=dummy",
                                    "XDG_RUNTIME_DIR=" + dir_.path(), "XDG_CONFIG_HOME=" + dir_.path()};
    for (const std::string& d : defaults) {
      const std::string name = d.substr(0, d.find('='));
      if (std::none_of(env.begin(), env.end(), [&](const std::string& e) { return e.substr(0, e.find('=')) == name; }))
        env.push_back(d);
    }
    return spawnProgram(args, env);
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

  static inline pid_t server_ = -1;
  static inline std::string name_;
  static inline Display* display_ = nullptr;
  TempDir dir_;
};

}  // namespace qs::test
