// The game played with a gamepad: SDL's virtual joystick drives a live run of
// the program (dummy video driver) from the menu into a game.
#include <gtest/gtest.h>

#include <SDL.h>

#include <functional>
#include <string>
#include <vector>

#include "app/qspe_program.h"
#include "platform/sdl/painter.h"
#include "platform/sdl/sdl_platform.h"
#include "runtime/runtime.h"
#include "sound/audio_device.h"
#include "support/files.h"
#include "support/trace_view.h"

namespace qs::test {
namespace {

// The live backend with a player's hand on the pad: each step runs once the
// wall clock reaches its time.
class PadPlayer : public SdlPlatform {
 public:
  struct Step {
    std::int64_t at;
    std::function<void()> act;
  };
  PadPlayer(SdlPainter& painter, AudioDevice& audio, std::vector<Step> steps)
      : SdlPlatform(painter, audio, 1), steps_(std::move(steps)) {}

  std::optional<InputEvent> nextInput(std::int64_t now, std::int64_t deadline) override {
    for (;;) {
      while (next_ < steps_.size() && steps_[next_].at <= wallNow()) steps_[next_++].act();
      const std::int64_t stepAt = next_ < steps_.size() ? steps_[next_].at : kNever;
      if (auto e = SdlPlatform::nextInput(now, std::min(deadline, stepAt))) return e;
      if (stepAt >= deadline) return std::nullopt;
    }
  }

 private:
  std::vector<Step> steps_;
  std::size_t next_ = 0;
};

TEST(Gamepad, AVirtualPadPlaysFromTheMenuIntoAGame) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");  // the dummy driver's windows never get focus
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
  std::string error;
  auto painter = SdlPainter::create("Qspe", QSPE_PROGRAM_DIR, error);
  ASSERT_TRUE(painter) << error;

  // Plugged in once the splash is up, as a player might.
  SDL_Joystick* pad = nullptr;
  auto plugIn = [&] {
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                          SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    pad = SDL_JoystickOpen(index);
    ASSERT_TRUE(pad) << SDL_GetError();
  };
  auto axis = [&](int value) { return [&, value] { SDL_JoystickSetVirtualAxis(pad, SDL_CONTROLLER_AXIS_LEFTX, value); }; };
  auto a = [&](bool held) { return [&, held] { SDL_JoystickSetVirtualButton(pad, SDL_CONTROLLER_BUTTON_A, held); }; };
  // The menu opens at 3000: the stick to the right picks entry 1, A held
  // starts it and, held on, fires again in the game.
  SilentAudio audio;
  PadPlayer platform(*painter, audio, {{1000, plugIn}, {3300, axis(30000)}, {3400, axis(0)},
                                                         {3600, a(true)}, {4500, a(false)}});

  TempDir dir;
  RunConfig config;
  config.programName = "Qspe";
  config.programDir = dir.path();
  config.until = 4700;
  Runtime* runtime = nullptr;
  Trace trace([&] { return runtime ? runtime->now() : 0; });
  trace.keepLines(true);
  {
    std::unique_ptr<Program> program;  // first: its services outlive the runtime's forms
    Runtime rt(platform, trace, config);
    runtime = &rt;
    program = makeQspe(rt, audio);
    rt.run(program->entry({}));
    runtime = nullptr;
  }
  if (pad) SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(0);
  painter.reset();
  SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER);

  TraceView t(trace.lines());
  EXPECT_TRUE(t.inOrder({"key FormMain down Right", "key FormMain up Right", "key FormMain down Z", "show FormQBL",
                         "key FormQBL repeat Z", "key FormQBL up Z"}))
      << t.dump();
  EXPECT_EQ(t.count("key FormMain down Right"), 1);
}

}  // namespace
}  // namespace qs::test
