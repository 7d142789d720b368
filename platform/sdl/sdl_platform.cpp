#include "platform/sdl/sdl_platform.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <string>
#include <utility>

#include "platform/sdl/input/virtual_key.h"
#include "platform/sdl/video/message_box.h"
#include "platform/sdl/video/window_title.h"
#include "platform/sdl/video/x11_host.h"
#include "runtime/form.h"

namespace qs {
namespace {

// Long lines broken at blanks, as a desktop's message box does.
std::string wrapped(const std::string& text, std::size_t width = 64) {
  std::string out;
  std::size_t column = 0, blank = std::string::npos;  // blank: the last one on the current line, in `out`
  for (char c : text) {
    out += c;
    if (c == '\n') {
      column = 0, blank = std::string::npos;
      continue;
    }
    if ((static_cast<unsigned char>(c) & 0xC0) == 0x80) continue;  // inside a character
    if (c == ' ') blank = out.size() - 1;
    if (++column > width && blank != std::string::npos) {
      out[blank] = '\n';
      column = 0;
      for (std::size_t i = blank + 1; i < out.size(); ++i)
        column += (static_cast<unsigned char>(out[i]) & 0xC0) != 0x80;
      blank = std::string::npos;
    }
  }
  return out;
}

// The session going away (SIGHUP) ends the program the way SIGINT and SIGTERM
// do in SDL: the handler only notes it, and the loop, which wakes at least
// every kSignalCheckMs, takes it as a quit, so every window closes and every
// scene unloads.
volatile std::sig_atomic_t hungUp = 0;
extern "C" void noteHangUp(int) { hungUp = 1; }
constexpr std::int64_t kSignalCheckMs = 250;

// The smallest screen the saver's layout is made for: a smaller host window
// (a preview) gets the layout of a screen this large, shrunk to fit.
constexpr int kLayoutWidth = 1024, kLayoutHeight = 768;

// Room left in the screen's usable area for a window's frame and title bar,
// which are the window manager's.
constexpr int kFrameWidth = 16, kFrameHeight = 48;

// While a game controller is connected the loop wakes this often (ms) to read
// it: SDL reads controllers when events are pumped, not from the display (and
// makes a held key's repeats so on Wayland).
constexpr std::int64_t kPadPollMs = 4;

}  // namespace

SdlPlatform::SdlPlatform(SdlPainter& painter, AudioDevice& audio, int scale, std::optional<std::uint64_t> hostWindow)
    : painter_(painter),
      audio_(audio),
      runScale_(scale),
      startTicks_(SDL_GetTicks()),
      startCounter_(SDL_GetPerformanceCounter()),
      onWayland_(SDL_GetCurrentVideoDriver() && std::string(SDL_GetCurrentVideoDriver()) == "wayland"),
      maker_(onWayland_) {
  std::signal(SIGHUP, noteHangUp);
  if (hostWindow) openHost(*hostWindow);
}

SdlPlatform::~SdlPlatform() {
  for (auto& [f, w] : windows_) {
    if (w.canvas) SDL_DestroyTexture(w.canvas);
    SDL_DestroyRenderer(w.renderer);
    if (!w.host) maker_.close(w.window);
  }
  if (host_) {
    SDL_DestroyWindow(host_->window);  // SDL forgets it; the window stays the host's
    unwatchXWindow();
  }
}

void SdlPlatform::openHost(std::uint64_t id) {
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::string(driver) != "x11") {
    hostError_ = "drawing into another program's window needs an X display (SDL's x11 video driver)";
    return;
  }
  std::uint64_t xid = findXWindow(id, hostError_);
  if (!xid) return;
  SDL_Window* w = SDL_CreateWindowFrom(reinterpret_cast<const void*>(static_cast<std::uintptr_t>(xid)));
  if (!w) {
    hostError_ = std::string("cannot draw into the host's window: ") + SDL_GetError();
    return;
  }
  watchXWindow(w);
  int width = 1, height = 1;
  SDL_GetWindowSize(w, &width, &height);
  width = std::max(1, width);
  height = std::max(1, height);
  // Grown until one side reaches the layout's, keeping the window's shape.
  double grow =
      std::max(1.0, std::min(static_cast<double>(kLayoutWidth) / width, static_cast<double>(kLayoutHeight) / height));
  Host host;
  host.window = w;
  host.shrunk = grow > 1.0;
  host.screen = {static_cast<int>(std::lround(width * grow)), static_cast<int>(std::lround(height * grow))};
  host_ = host;
}

std::int64_t SdlPlatform::wallNow() const { return static_cast<std::int64_t>(SDL_GetTicks() - startTicks_) + skipped_; }

std::int64_t SdlPlatform::wallMicros() const {
  const std::uint64_t count = SDL_GetPerformanceCounter() - startCounter_;
  const std::uint64_t perSecond = SDL_GetPerformanceFrequency();
  const auto us = count / perSecond * 1000000 + count % perSecond * 1000000 / perSecond;
  return static_cast<std::int64_t>(us) + skipped_ * 1000;
}

bool SdlPlatform::closing() {
  if (hungUp || (host_ && xWindowGone())) quitting_ = true;
  return quitting_ || std::any_of(queue_.begin(), queue_.end(),
                                  [](const InputEvent& e) { return e.kind == InputEvent::Kind::Close; });
}

int SdlPlatform::fittingScale(int width, int height) const {
  SDL_Rect usable{0, 0, kLayoutWidth, kLayoutHeight};
  SDL_GetDisplayUsableBounds(0, &usable);
  return largestWholeScale(width, height, usable.w - kFrameWidth, usable.h - kFrameHeight);
}

void SdlPlatform::planWindows(ScreenSize largestClient) {
  if (runScale_ == 0 && largestClient.width > 0 && largestClient.height > 0)
    runScale_ = fittingScale(largestClient.width, largestClient.height);
}

int SdlPlatform::scaleFor(const Form& f) {
  if (f.coversScreen()) return 1;  // the screen's own pixels, whatever --scale says
  if (runScale_ == 0) runScale_ = fittingScale(f.clientWidth(), f.clientHeight());
  return runScale_;
}

// The screen saver's form and a host's window are the screen already.
bool SdlPlatform::fillsScreenItself(const Form& f) const {
  auto it = windows_.find(const_cast<Form*>(&f));
  return f.coversScreen() || (it != windows_.end() && it->second.host);
}

void SdlPlatform::setFullscreen(bool on) {
  fullscreen_ = on;
  for (auto& [f, w] : windows_) {
    if (fillsScreenItself(*f)) continue;
    SDL_SetWindowFullscreen(w.window, on ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    w.needsWhole = true;
    f->elementChanged();
    if (f->visible()) redraw(*f);
  }
  pumpDue_ = true;
}

void SdlPlatform::rememberIn(std::string file, DisplaySettings kept) {
  settingsFile_ = std::move(file);
  kept_ = kept;
}

Placement SdlPlatform::placementOf(const Form& f) const {
  auto it = windows_.find(const_cast<Form*>(&f));
  return it == windows_.end() ? Placement{} : it->second.placed;
}

void SdlPlatform::switchFullscreen() {
  setFullscreen(!fullscreen_);
  if (!settingsFile_.empty()) {
    kept_.fullscreen = fullscreen_;
    writeSettings(settingsFile_, kept_);
  }
}

Form* SdlPlatform::formOf(std::uint32_t windowId) {
  for (auto& [f, w] : windows_)
    if (SDL_GetWindowID(w.window) == windowId) return f;
  return nullptr;
}

void SdlPlatform::push(InputEvent e, std::uint32_t ticks, std::int64_t now) {
  pushAt(std::move(e), static_cast<std::int64_t>(ticks) - static_cast<std::int64_t>(startTicks_) + skipped_, now);
}

void SdlPlatform::pushAt(InputEvent e, std::int64_t at, std::int64_t now) {
  // Stamped with the moment SDL saw the event, never earlier than the run's clock
  // or the event before it, so the recorded times never decrease.
  e.time = std::max({at, now, lastStamp_});
  lastStamp_ = e.time;
  queue_.push_back(std::move(e));
}

void SdlPlatform::pushPadKeys(std::int64_t now) {
  if (!paused_) pads_.keys().repeats(wallNow(), padKeys_);
  for (const PadKey& k : padKeys_) {
    if (k.key == KeyMap::kPause) {
      pauseWanted_ = pauseWanted_ || k.kind == InputEvent::Kind::KeyDown;
      continue;
    }
    InputEvent e;
    e.kind = k.kind;
    e.key = k.key;
    pushAt(e, k.at, now);
  }
  padKeys_.clear();
}

void SdlPlatform::take(const SDL_Event& ev, std::int64_t now) {
  using K = InputEvent::Kind;
  switch (ev.type) {
    case SDL_QUIT: quitting_ = true; break;
    case SDL_SYSWMEVENT:
      if (host_ && xWindowGone(&ev)) quitting_ = true;
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      // The Alt of Alt+Enter reached the scene as a key of its own.
      const Form* f = formOf(ev.key.windowID);
      if (keys_.take(ev.key, f && !fillsScreenItself(*f), passed_)) switchFullscreen();
      for (const SDL_KeyboardEvent& k : passed_) {
        InputEvent e;
        e.kind = k.type == SDL_KEYUP ? K::KeyUp : k.repeat ? K::KeyRepeat : K::KeyDown;
        e.key = keyMap_.codeOf(k.keysym.sym, virtualKey(k.keysym.sym, k.keysym.scancode));
        if (e.key == KeyMap::kPause) {
          pauseWanted_ = pauseWanted_ || e.kind == K::KeyDown;
          continue;
        }
        push(e, k.timestamp, now);
      }
      passed_.clear();
      break;
    }
    case SDL_MOUSEMOTION: {
      InputEvent e;
      e.kind = K::Move;
      int wx = 0, wy = 0;
      if (SDL_Window* w = SDL_GetWindowFromID(ev.motion.windowID)) SDL_GetWindowPosition(w, &wx, &wy);
      Placement p;
      if (Form* f = formOf(ev.motion.windowID)) p = windows_[f].placed;
      e.x = wx + (ev.motion.x - p.x) / p.scale;
      e.y = wy + (ev.motion.y - p.y) / p.scale;
      push(e, ev.motion.timestamp, now);
      break;
    }
    case SDL_MOUSEBUTTONUP: {
      InputEvent e;
      e.kind = K::Click;
      push(e, ev.button.timestamp, now);
      break;
    }
    case SDL_WINDOWEVENT:
      if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
        focusLostAt_ = wallNow();
      } else if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
        focusLostAt_ = -1;
        focusGained_ = true;
      } else if (ev.window.event == SDL_WINDOWEVENT_CLOSE) {
        if (Form* f = formOf(ev.window.windowID)) {
          InputEvent e;
          e.kind = K::Close;
          e.form = f->name();
          push(e, ev.window.timestamp, now);
        }
      } else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED || ev.window.event == SDL_WINDOWEVENT_SHOWN ||
                 ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        if (Form* f = formOf(ev.window.windowID); f && f->visible()) {
          f->elementChanged();
          redraw(*f);
        }
      }
      break;
    default:
      if (pads_.take(ev, static_cast<std::int64_t>(ev.common.timestamp) - startTicks_ + skipped_, padKeys_))
        pushPadKeys(now);
      break;
  }
}

std::optional<InputEvent> SdlPlatform::nextInput(std::int64_t now, std::int64_t deadline) {
  for (;;) {
    SDL_Event ev;
    // A held key's repeats come from SDL itself on Wayland, made when pumped.
    const bool polled = pads_.any() || (display_.repeatsKeysItself() && keys_.anyHeld());
    const std::int64_t pumpEvery = polled ? kPadPollMs : kSignalCheckMs;
    if (pumpDue_ || wallNow() - lastPump_ >= pumpEvery) {
      while (SDL_PollEvent(&ev)) take(ev, now);
      pumpDue_ = false;
      lastPump_ = wallNow();
    }
    pushPadKeys(now);
    checkPause(now);
    // The host's window gone from under the saver ends it as a quit signal does.
    if (hungUp || (host_ && xWindowGone())) quitting_ = true;
    if (quitting_ && queue_.empty()) {
      // SIGINT, SIGTERM or the session closing: close the windows one by one,
      // newest first, as the player would.
      InputEvent e;
      e.kind = shownOrder_.empty() ? InputEvent::Kind::Quit : InputEvent::Kind::Close;
      if (!shownOrder_.empty()) e.form = shownOrder_.back()->name();
      e.time = std::max(now, lastStamp_);
      return e;
    }
    if (!queue_.empty() && queue_.front().time <= deadline) {
      InputEvent e = std::move(queue_.front());
      queue_.pop_front();
      if (e.kind == InputEvent::Kind::KeyDown) sceneHeld_.insert(e.key);
      else if (e.kind == InputEvent::Kind::KeyUp) sceneHeld_.erase(e.key);
      return e;
    }
    const std::int64_t wallUs = wallMicros();
    if (deadline != kNever && wallUs >= deadline * 1000) return std::nullopt;
    const std::int64_t wall = wallUs / 1000;
    // Sleep until the next due timer or the next input, whichever comes first
    // (waking every kSignalCheckMs meanwhile to notice a hang-up).
    // A frame left waiting is drawn when its slot opens, or at once when the
    // loop is about to idle for longer than a frame: the player never watches
    // a stale picture while nothing happens.
    std::int64_t wake = std::min(deadline, pads_.keys().nextRepeat());
    if (!pending_.empty()) {
      std::int64_t slot = lastFrame_ + kFrameMs;
      if (wall >= slot || deadline - wall > kFrameMs) drawPending();
      else wake = std::min(deadline, slot);
    }
    if (idleTask_ && frames_ > 0 && pending_.empty() && (wake == kNever || wake - wall >= kIdleTaskMs)) {
      auto task = std::move(idleTask_);
      idleTask_ = nullptr;
      task();
      continue;  // the task took time: the clock is read again
    }
    const std::int64_t waitUs =
        std::clamp<std::int64_t>(wake == kNever ? pumpEvery * 1000 : wake * 1000 - wallUs, 0, pumpEvery * 1000);
    if (pumpDue_) continue;  // drawing above may have read events off the connection
    if (display_.ready()) {
      // Only a display with something to read is pumped.
      if (display_.wait(waitUs)) pumpDue_ = true;
    } else if (SDL_WaitEventTimeout(&ev, static_cast<int>((waitUs + 999) / 1000))) {
      take(ev, now);
      pumpDue_ = true;
    }
  }
}

void SdlPlatform::holdUntil(std::int64_t until) {
  drawPending();  // the player sees what led to the sound while it plays
  for (std::int64_t wall = wallNow(); wall < until; wall = wallNow()) {
    if (closing()) {
      // A window is being closed, or the program: the rest of the sound is
      // skipped, on the run's clock too, so that what follows is stamped (and
      // recorded, and replays) as if the sound had played out.
      skipped_ += until - wall;
      return;
    }
    SDL_Event ev;
    const std::int64_t wait = std::min({until - wall, pads_.any() ? kPadPollMs : kSignalCheckMs,
                                        std::max<std::int64_t>(0, pads_.keys().nextRepeat() - wall)});
    if (SDL_WaitEventTimeout(&ev, static_cast<int>(wait))) take(ev, until);
    pushPadKeys(until);
    checkPause(until);  // the rest of the sound waits for the pause's end
  }
}

bool SdlPlatform::redraw(Form& f) {
  auto it = windows_.find(&f);
  if (it == windows_.end()) return false;
  // A software renderer keeps its picture between frames, so only the part
  // that changed is drawn again; other renderers draw the whole every time.
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(it->second.renderer, &info);
  Rect area = f.damage();
  bool part = !f.wholeDirty() && (info.flags & SDL_RENDERER_SOFTWARE) && !it->second.needsWhole;
  if (SDL_Texture* canvas = it->second.canvas) {
    // Drawn on the canvas, which keeps its picture, then shrunk onto the window.
    SDL_SetRenderTarget(it->second.renderer, canvas);
    painter_.paint(it->second.renderer, f, 1, it->second.needsWhole || f.wholeDirty() ? nullptr : &area);
    SDL_SetRenderTarget(it->second.renderer, nullptr);
    SDL_RenderCopy(it->second.renderer, canvas, nullptr, nullptr);
  } else {
    Window& w = it->second;
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(w.renderer, &outW, &outH);
    const int cw = std::max(1, f.clientWidth()), ch = std::max(1, f.clientHeight());
    Placement p = f.coversScreen() ? Placement{} : centredPlacement(cw, ch, outW, outH);
    if (p != w.placed) {
      w.placed = p;
      part = false;
    }
    if (!part && (cw * p.scale < outW || ch * p.scale < outH)) {
      SDL_RenderSetViewport(w.renderer, nullptr);
      SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);  // around the picture
      SDL_RenderClear(w.renderer);
    }
    const SDL_Rect picture{p.x, p.y, cw * p.scale, ch * p.scale};
    SDL_RenderSetViewport(w.renderer, &picture);
    if (part) painter_.paintParts(w.renderer, f, p.scale, f.damageParts());
    else if (!drawFirstFrame(w, f, picture, p.scale)) painter_.paint(w.renderer, f, p.scale);
  }
  it->second.needsWhole = false;
  SDL_RenderPresent(it->second.renderer);
  if (firstFrameToKeep_) std::exchange(firstFrameToKeep_, nullptr)();  // once it is on screen
  f.clearDirty();
  // A present waits for the display, whose replies may bring events along.
  pumpDue_ = !display_.ready() || display_.eventsCame();
  return true;
}

// The run's first frame, when the window's software renderer draws into a
// surface of the window's own: copied from the picture kept at the last
// start when that is the same, else drawn, and kept for the next once it is
// on screen. False when it is not that frame or it cannot be copied; it is
// then to be drawn.
bool SdlPlatform::drawFirstFrame(Window& w, const Form& f, const SDL_Rect& picture, int scale) {
  if (!firstFrame_) return false;
  const FirstFrameMemo memo = std::move(*firstFrame_);
  firstFrame_.reset();
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(w.renderer, &info);
  if (!(info.flags & SDL_RENDERER_SOFTWARE) || w.host || f.coversScreen()) return false;
  const std::optional<std::string> name = painter_.pictureName(f, scale);
  SDL_Surface* surface = name ? SDL_GetWindowSurface(w.window) : nullptr;
  if (!surface) return false;
  SDL_RenderFlush(w.renderer);  // what the renderer holds back lands first
  if (memo.recall(*name, surface, picture)) return true;
  painter_.paint(w.renderer, f, scale);
  firstFrameToKeep_ = [memo, name = *name, surface, picture] { memo.keep(name, surface, picture); };
  return true;
}

// Timers may change elements every millisecond; the display shows some 60
// frames a second. A change within a frame of the last one waits for the next
// frame slot: its form stays dirty and its damage grows meanwhile, so that
// frame draws all that changed since the one before.
void SdlPlatform::present(const std::vector<Form*>& forms) {
  for (Form* f : forms)
    if (std::find(pending_.begin(), pending_.end(), f) == pending_.end()) pending_.push_back(f);
  if (wallNow() - lastFrame_ >= kFrameMs) drawPending();
}

void SdlPlatform::drawPending() {
  if (pending_.empty()) return;
  std::int64_t start = wallNow();
  bool drawn = false;
  for (Form* f : pending_)
    if (f->dirty() && redraw(*f)) drawn = true;
  pending_.clear();
  if (drawn) {
    lastFrame_ = start;
    ++frames_;
  }
}

void SdlPlatform::formShown(Form& f) {
  focusLostAt_ = -1;  // the focus moves between the program's own windows: no pause
  auto it = windows_.find(&f);
  bool hostFree = host_ && std::none_of(windows_.begin(), windows_.end(), [](auto& e) { return e.second.host; });
  if (it == windows_.end() && f.coversScreen() && hostFree) {
    // Drawn into the host's window, which is the host's to map and stack.
    Window w;
    w.window = host_->window;
    w.host = true;
    Uint32 how = SDL_GetHint(SDL_HINT_RENDER_DRIVER) ? 0 : SDL_RENDERER_SOFTWARE;
    w.renderer = SDL_CreateRenderer(w.window, -1, how | (host_->shrunk ? SDL_RENDERER_TARGETTEXTURE : 0));
    if (!w.renderer) w.renderer = SDL_CreateRenderer(w.window, -1, SDL_RENDERER_SOFTWARE);
    if (!w.renderer) {
      SDL_Log("cannot draw into the host's window: %s", SDL_GetError());
      return;
    }
    if (host_->shrunk) {
      w.canvas = SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET,
                                   std::max(1, f.clientWidth()), std::max(1, f.clientHeight()));
      SDL_SetTextureScaleMode(w.canvas, SDL_ScaleModeLinear);
    }
    windows_.emplace(&f, w);
    shownOrder_.push_back(&f);
    display_.attach(w.window);
    f.elementChanged();
    pumpDue_ = true;
    return;
  }
  if (it != windows_.end() && it->second.host) {
    f.elementChanged();
    return;
  }
  if (it == windows_.end()) {
    Window w;
    w.scale = scaleFor(f);
    // A form made topmost at its load, before it had a window, opens on top.
    // Wayland lets no window place itself or stay on top: one that covers
    // the screen is made full screen there.
    // A window the window manager may make larger (maximized, full screen):
    // the form is then drawn larger, centred.
    const bool growable = !f.coversScreen();
    Uint32 flags = SDL_WINDOW_HIDDEN | (f.borderless() ? SDL_WINDOW_BORDERLESS : 0) |
                   (f.topmost() ? SDL_WINDOW_ALWAYS_ON_TOP : 0) | (growable ? SDL_WINDOW_RESIZABLE : 0) |
                   (fullscreen_ && growable ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) |
                   (!growable && onWayland_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    int at = f.coversScreen() ? 0 : SDL_WINDOWPOS_CENTERED;
    w.window = maker_.open(f.caption().c_str(), at, at, std::max(1, f.clientWidth()) * w.scale,
                           std::max(1, f.clientHeight()) * w.scale, flags);
    if (!w.window) {
      SDL_Log("cannot open a window: %s", SDL_GetError());
      return;
    }
    if (growable) SDL_SetWindowMinimumSize(w.window, std::max(1, f.clientWidth()), std::max(1, f.clientHeight()));
    // The windows are small and redrawn only when something changed: the
    // software renderer draws them for a fraction of what a GL context costs
    // (and far less than GL emulated on the processor). SDL_RENDER_DRIVER picks another.
    Uint32 how = SDL_GetHint(SDL_HINT_RENDER_DRIVER) ? 0 : SDL_RENDERER_SOFTWARE;
    w.renderer = SDL_CreateRenderer(w.window, -1, how);
    if (!w.renderer) w.renderer = SDL_CreateRenderer(w.window, -1, SDL_RENDERER_SOFTWARE);
    it = windows_.emplace(&f, w).first;
    shownOrder_.push_back(&f);
    display_.attach(w.window);
    std::int64_t delay = 0, interval = 0;
    if (display_.keyRepeat(delay, interval)) pads_.keys().setRepeat(delay, interval);
  }
  SDL_ShowWindow(it->second.window);
  SDL_RaiseWindow(it->second.window);
  f.elementChanged();
  pumpDue_ = true;
}

void SdlPlatform::formHidden(Form& f) {
  focusLostAt_ = -1;
  std::erase(pending_, &f);
  pumpDue_ = true;
  if (auto it = windows_.find(&f); it != windows_.end() && !it->second.host) SDL_HideWindow(it->second.window);
}

void SdlPlatform::formUnloaded(Form& f) {
  focusLostAt_ = -1;
  std::erase(pending_, &f);
  pumpDue_ = true;
  auto it = windows_.find(&f);
  if (it == windows_.end()) return;
  if (it->second.canvas) SDL_DestroyTexture(it->second.canvas);
  SDL_DestroyRenderer(it->second.renderer);
  if (!it->second.host) maker_.close(it->second.window);
  windows_.erase(it);
  std::erase(shownOrder_, &f);
  painter_.release();
}

void SdlPlatform::formCaptionChanged(Form& f) {
  pumpDue_ = true;
  if (auto it = windows_.find(&f); it != windows_.end() && !it->second.host)
    setWindowTitle(it->second.window, f.caption());
}

SDL_Window* SdlPlatform::windowOf(const Form& f) const {
  auto it = windows_.find(const_cast<Form*>(&f));
  return it == windows_.end() ? nullptr : it->second.window;
}

bool SdlPlatform::shot(Form& f, const std::string& file, std::string& error) {
  auto it = windows_.find(&f);
  return painter_.writePng(f, file, it == windows_.end() ? 1 : it->second.scale, error);
}

ScreenSize SdlPlatform::screen() const {
  if (host_) return host_->screen;
  SDL_DisplayMode mode;
  if (SDL_GetCurrentDisplayMode(0, &mode) == 0) return {mode.w, mode.h};
  return {};
}

void SdlPlatform::messageBox(const std::string& title, const std::string& text) {
  // A quit signal ends the box, which used to ignore it until OK, and then the program.
  const bool ours = !shownOrder_.empty() && !windows_[shownOrder_.back()].host;
  SDL_Window* parent = ours ? windows_[shownOrder_.back()].window : nullptr;
  if (showMessageBox(painter_, runScale_, parent, title, wrapped(text), [] { return hungUp != 0; })) quitting_ = true;
  for (Form* f : shownOrder_)  // the box's loop took their exposures
    if (f->visible()) f->elementChanged(), redraw(*f);
}

void SdlPlatform::showCursor(bool show) { SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE); }

void SdlPlatform::setTopmost(Form& f) {
  if (auto it = windows_.find(&f); it != windows_.end() && !it->second.host)
    SDL_SetWindowAlwaysOnTop(it->second.window, SDL_TRUE);
}

}  // namespace qs
