// The player's pause: the run's clock stands still from its start to its end.
#include <algorithm>

#include "platform/sdl/sdl_platform.h"
#include "platform/sdl/video/window_title.h"
#include "runtime/form.h"

namespace qs {
namespace {

// Focus handed from one of the program's windows to the next (a scene
// opening its window, which a window manager focuses when it maps it) is
// gone for a moment only, and a glance elsewhere is no pause either.
constexpr std::int64_t kFocusGoneMs = 1000;
constexpr int kPausedWaitMs = 250;

}  // namespace

bool SdlPlatform::ownWindowFocused() const {
  SDL_Window* focused = SDL_GetKeyboardFocus();
  return focused && std::any_of(windows_.begin(), windows_.end(), [&](auto& w) { return w.second.window == focused; });
}

void SdlPlatform::checkPause(std::int64_t now) {
  if (!pausable_) pauseWanted_ = false;
  if (!pausable_ || paused_) return;
  const bool focusGone =
      pauseOnFocusLoss_ && focusLostAt_ >= 0 && wallNow() - focusLostAt_ >= kFocusGoneMs && !ownWindowFocused();
  if (pauseWanted_ || focusGone) pauseHere(now, !pauseWanted_);
}

void SdlPlatform::titlesPaused(bool on) {
  for (auto& [f, w] : windows_)
    if (!w.host) setWindowTitle(w.window, on ? f->caption() + " \u2014 paused" : f->caption());
}

void SdlPlatform::pauseHere(std::int64_t now, bool byFocus) {
  paused_ = true;
  pauseWanted_ = focusGained_ = false;
  focusLostAt_ = -1;
  // The keys the scenes hold once what is queued before the pause has reached them.
  std::set<int> held = sceneHeld_;
  for (const InputEvent& e : queue_) {
    if (e.kind == InputEvent::Kind::KeyDown) held.insert(e.key);
    else if (e.kind == InputEvent::Kind::KeyUp) held.erase(e.key);
  }
  InputEvent pause;
  pause.kind = InputEvent::Kind::Pause;
  pushAt(pause, wallNow(), now);
  const std::size_t first = queue_.size();  // what comes during the pause
  const std::int64_t at = queue_.back().time;
  drawPending();
  audio_.pause(true);
  titlesPaused(true);
  const std::uint32_t ticks = SDL_GetTicks();
  const std::uint64_t counter = SDL_GetPerformanceCounter();
  while (!closing() && !pauseWanted_ && !(byFocus && focusGained_)) {
    SDL_Event ev;
    // Asleep on the display's connection, as the loop sleeps, and pumped at
    // every wake: SDL turns a SIGINT or SIGTERM into its quit event, and
    // reads a pad, only when pumped, so a pause with nothing coming from the
    // display would not end at a quit signal.
    const std::int64_t waitMs = pads_.any() ? 4 * kFrameMs : kPausedWaitMs;
    if (display_.ready()) display_.wait(waitMs * 1000);
    else if (SDL_WaitEventTimeout(&ev, static_cast<int>(waitMs))) take(ev, at);
    while (SDL_PollEvent(&ev)) take(ev, at);
    pushPadKeys(at);
    if (!pending_.empty()) drawPending();  // a window uncovered or resized meanwhile
  }
  // The clock goes on from where it stood.
  startTicks_ += SDL_GetTicks() - ticks;
  startCounter_ += SDL_GetPerformanceCounter() - counter;
  lastFrame_ = std::min(lastFrame_, at - kFrameMs);
  lastPump_ = std::min(lastPump_, at);
  // Of what came meanwhile, the scenes get the lets-go of the keys they hold
  // and the windows' closing: the rest was the paused program's, not theirs.
  std::deque<InputEvent> kept;
  for (std::size_t i = first; i < queue_.size(); ++i) {
    InputEvent e = queue_[i];
    using K = InputEvent::Kind;
    if (e.kind == K::Close || e.kind == K::Quit || (e.kind == K::KeyUp && held.erase(e.key) > 0)) {
      e.time = at;
      kept.push_back(std::move(e));
    }
  }
  queue_.erase(queue_.begin() + static_cast<std::ptrdiff_t>(first), queue_.end());
  InputEvent resume;
  resume.kind = InputEvent::Kind::Resume;
  resume.time = at;
  queue_.push_back(resume);
  queue_.insert(queue_.end(), kept.begin(), kept.end());
  lastStamp_ = at;
  pauseWanted_ = false;
  paused_ = false;
  audio_.pause(false);
  titlesPaused(false);
  pumpDue_ = true;
}

}  // namespace qs
