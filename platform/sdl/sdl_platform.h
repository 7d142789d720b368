#pragma once
#include <SDL.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/sdl/draw/first_frame.h"
#include "platform/sdl/draw/painter.h"
#include "platform/sdl/input/gamepad.h"
#include "platform/sdl/input/key_gate.h"
#include "platform/sdl/video/display_connection.h"
#include "platform/sdl/video/display_settings.h"
#include "platform/sdl/video/placement.h"
#include "platform/sdl/video/window_maker.h"
#include "runtime/platform.h"
#include "sound/audio_device.h"

namespace qs {

// The live backend: one SDL window per shown form, the wall clock, real input.
//
// Given a screen-saver host's X window (0 for the root window), the form
// that covers the screen is drawn into that window instead of one of its own:
// the window is the screen, and one smaller than 1024 x 768 (a preview) shows
// the form laid out on a screen of that size, shrunk to fit. The host's
// window is never mapped, raised, titled or stacked, and its input stays the
// host's.
//
// Every window of a run opens at one scale. In full screen (and in a window
// the window manager made larger) the form is drawn at the largest
// whole-number scale that fits, centred, black around it. Game controllers
// reach the forms as the keys they stand for.
class SdlPlatform : public Platform {
 public:
  // `scale` 0: the largest at which the windows fit the screen's usable area.
  SdlPlatform(SdlPainter& painter, AudioDevice& audio, int scale,
              std::optional<std::uint64_t> hostWindow = std::nullopt);
  ~SdlPlatform() override;

  // Why the host's window cannot be drawn into; empty when it can (or there is none).
  const std::string& hostError() const { return hostError_; }

  bool live() const override { return true; }
  std::optional<InputEvent> nextInput(std::int64_t now, std::int64_t deadline) override;
  void holdUntil(std::int64_t until) override;
  void present(const std::vector<Form*>& forms) override;
  void formShown(Form& f) override;
  void formHidden(Form& f) override;
  void formUnloaded(Form& f) override;
  void formCaptionChanged(Form& f) override;
  bool shot(Form& f, const std::string& file, std::string& error) override;
  ScreenSize screen() const override;
  TextMeasurer* measurer() override { return &painter_.measurer(); }
  void beep() override { audio_.beep(); }
  void messageBox(const std::string& title, const std::string& text) override;
  void showCursor(bool show) override;
  void setTopmost(Form& f) override;

  // The largest window the program will open, in client pixels: a run whose
  // scale is not given gets the largest at which it fits. Without this, the
  // first window's size decides.
  void planWindows(ScreenSize largestClient);
  // The scale of every window of the run; 0 until it is known.
  int runScale() const { return runScale_; }
  // Full screen for every window of the run but one that covers the screen.
  void setFullscreen(bool on);
  bool fullscreen() const { return fullscreen_; }
  // Alt+Enter and F11 then write the choice to `file`, beside the rest of `kept`.
  void rememberIn(std::string file, DisplaySettings kept);
  // The player's keys and pad buttons for the keys the scenes read.
  void setKeyMap(const KeyMap& map) {
    keyMap_ = map;
    pads_.setKeyMap(map);
  }
  // The pause's keys (and, with `onFocusLoss`, the windows' focus gone)
  // stop the run's clock until the key comes again (or the focus back):
  // every timer and sound holds, the scenes get nothing, the titles say so.
  // A screen saver is never paused.
  void setPausing(bool pausable, bool onFocusLoss) {
    pausable_ = pausable;
    pauseOnFocusLoss_ = onFocusLoss;
  }
  // The run's first frame is copied from the picture kept in `file` at the
  // last start when it is the same, and kept there otherwise (first_frame.h).
  void rememberFirstFrameIn(std::string file) { firstFrame_.emplace(std::move(file)); }
  // Where the form's picture lay in its window when last drawn.
  Placement placementOf(const Form& f) const;

  // The window of a shown form; none before it is first shown.
  SDL_Window* windowOf(const Form& f) const;

  // Time of the run's clock on the wall, in ms since the start.
  std::int64_t wallNow() const;
  // The same in microseconds: timers of a few ms keep their periods only
  // when the loop sleeps to the microsecond, not to the next whole ms.
  std::int64_t wallMicros() const;
  // Runs `task` once, after the first frame, when the loop is about to sleep
  // for kIdleTaskMs or more: work that the first frame need not wait for.
  void whenIdle(std::function<void()> task) { idleTask_ = std::move(task); }
  static constexpr std::int64_t kIdleTaskMs = 500;

  // Frames put on screen so far.
  std::uint64_t frames() const { return frames_; }

 private:
  struct Window {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    int scale = 1;
    bool needsWhole = true;         // nothing drawn yet
    bool host = false;              // the host's window, not ours
    SDL_Texture* canvas = nullptr;  // a shrunk host window: the form drawn at full size, then shrunk
    Placement placed;               // the last drawing's
  };
  // The host's window and the screen the form is laid out on in it.
  struct Host {
    SDL_Window* window = nullptr;
    ScreenSize screen;
    bool shrunk = false;
  };

  void openHost(std::uint64_t id);
  bool drawFirstFrame(Window& w, const Form& f, const SDL_Rect& picture, int scale);

  void take(const SDL_Event& ev, std::int64_t now);
  // True once a quit (the session's hang-up included) or a window's close
  // button is waiting to be carried out.
  bool closing();
  void push(InputEvent e, std::uint32_t ticks, std::int64_t now);
  void pushAt(InputEvent e, std::int64_t at, std::int64_t now);
  // Queues the pads' key changes and the repeats due by now.
  void pushPadKeys(std::int64_t now);
  // Alt+Enter or F11: full screen on or off, and remembered.
  void switchFullscreen();
  // Pauses when the pause's key came, or the focus has been gone a moment.
  void checkPause(std::int64_t now);
  // The pause itself, from its start to its end; `now` as nextInput's.
  void pauseHere(std::int64_t now, bool byFocus);
  void titlesPaused(bool on);
  bool ownWindowFocused() const;
  Form* formOf(std::uint32_t windowId);
  bool fillsScreenItself(const Form& f) const;
  int scaleFor(const Form& f);
  int fittingScale(int width, int height) const;
  bool redraw(Form& f);  // false when the form has no window
  // Puts the forms waiting for a frame on screen, as one frame.
  void drawPending();

  // One frame of a 60 Hz display.
  static constexpr std::int64_t kFrameMs = 16;

  SdlPainter& painter_;
  AudioDevice& audio_;
  int runScale_;
  bool fullscreen_ = false;
  std::string settingsFile_;
  std::optional<FirstFrameMemo> firstFrame_;  // until the run's first frame is drawn
  std::function<void()> firstFrameToKeep_;    // that frame, drawn, to keep once presented
  DisplaySettings kept_;
  KeyGate keys_;
  KeyMap keyMap_;
  bool pausable_ = false, pauseOnFocusLoss_ = false, paused_ = false;
  bool pauseWanted_ = false;               // the pause's key came
  bool focusGained_ = false;               // a window of ours got the focus
  std::int64_t focusLostAt_ = -1;          // wall time the focus went; -1 while a window has it
  std::set<int> sceneHeld_;                // keys the scenes have seen go down and not yet up
  std::vector<SDL_KeyboardEvent> passed_;  // what keys_ let through, for a moment
  Gamepads pads_;
  std::vector<PadKey> padKeys_;
  std::uint32_t startTicks_;
  std::uint64_t startCounter_;
  std::int64_t skipped_ = 0;  // the rests of waiting sounds cut short by a close
  bool onWayland_;
  WindowMaker maker_;
  std::map<Form*, Window> windows_;
  std::vector<Form*> shownOrder_;  // forms that have windows, oldest first
  std::deque<InputEvent> queue_;
  std::int64_t lastStamp_ = 0;
  bool quitting_ = false;
  std::vector<Form*> pending_;          // changed forms waiting for the next frame slot
  std::int64_t lastFrame_ = -kFrameMs;  // wall time the last frame was started
  std::uint64_t frames_ = 0;
  DisplayConnection display_;
  // Events may wait inside SDL or the display library, not on the
  // connection: after drawing or any window call, and every kSignalCheckMs,
  // the loop pumps them before it sleeps again.
  bool pumpDue_ = true;
  std::int64_t lastPump_ = 0;
  std::optional<Host> host_;
  std::function<void()> idleTask_;
  std::string hostError_;
};

}  // namespace qs
