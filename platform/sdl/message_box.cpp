#include "platform/sdl/message_box.h"

#include <SDL.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <new>

namespace qs {
namespace {

// SDL's X11 box runs in a child it forks (without exec) and waits for,
// waiting again whenever a signal breaks the wait: a quit signal, noted the
// way a window's is, would never end it. The box's child therefore writes its
// pid into memory it shares with the program, where the program's handler
// finds it and ends the box; and it dies with the program, however that ends.
static_assert(std::atomic<pid_t>::is_always_lock_free);
std::atomic<pid_t>* boxChild = nullptr;  // in memory shared across fork
pid_t boxParent = 0;                     // while a box shows, the program's pid
volatile std::sig_atomic_t quitDuringBox = 0;

extern "C" void endBox(int) {
  quitDuringBox = 1;
  if (const pid_t child = boxChild->load(); child > 0) kill(child, SIGKILL);
  else _exit(0);  // no child (yet): the box is this process's, and ends with it, as a quit ends
}

extern "C" void inForkedChild() {
  if (boxParent == 0) return;
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != boxParent) _exit(0);  // the program ended before the line above
  boxChild->store(getpid());
}

std::atomic<pid_t>* sharedPid() {
  static std::atomic<pid_t>* const shared = []() -> std::atomic<pid_t>* {
    void* page = mmap(nullptr, sizeof(std::atomic<pid_t>), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (page == MAP_FAILED || pthread_atfork(nullptr, nullptr, inForkedChild) != 0) return nullptr;
    return new (page) std::atomic<pid_t>(0);
  }();
  return shared;
}

}  // namespace

bool showMessageBox(const std::string& title, const std::string& text) {
  boxChild = sharedPid();
  if (!boxChild) {
    SDL_ShowSimpleMessageBox(0, title.c_str(), text.c_str(), nullptr);
    return false;
  }
  boxChild->store(0);
  quitDuringBox = 0;
  boxParent = getpid();
  constexpr int kQuits[] = {SIGINT, SIGTERM, SIGHUP};
  struct sigaction box {}, kept[std::size(kQuits)];
  box.sa_handler = endBox;
  box.sa_flags = SA_RESTART;
  sigemptyset(&box.sa_mask);
  for (std::size_t i = 0; i < std::size(kQuits); ++i) {
    sigaction(kQuits[i], nullptr, &kept[i]);
    if (kept[i].sa_handler != SIG_IGN) sigaction(kQuits[i], &box, nullptr);
  }
  SDL_ShowSimpleMessageBox(0, title.c_str(), text.c_str(), nullptr);
  for (std::size_t i = 0; i < std::size(kQuits); ++i) sigaction(kQuits[i], &kept[i], nullptr);
  boxParent = 0;
  return quitDuringBox;
}

}  // namespace qs
