// The player's pause in a live run (dummy video driver): the Pause key, as a
// chosen key, stops the run's clock and holds the sounds until it comes again.
#include <gtest/gtest.h>

#include <SDL.h>

#include <chrono>
#include <thread>

#include "app/qspe_program.h"
#include "platform/sdl/draw/painter.h"
#include "platform/sdl/sdl_platform.h"
#include "runtime/runtime.h"
#include "runtime/script.h"
#include "sound/audio_device.h"
#include "support/files.h"
#include "support/process.h"
#include "support/trace_view.h"

namespace qs::test {
namespace {

struct PauseWatch : SilentAudio {
  std::vector<bool> pauses;
  void pause(bool on) override { pauses.push_back(on); }
};

TEST(Pause, StopsTheRunsClockAndHoldsTheSoundsTillTheKeyComesAgain) {
  SDL_SetHint(SDL_HINT_VIDEODRIVER, "dummy");
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
  std::string error;
  auto painter = SdlPainter::create("Qspe", QSPE_PROGRAM_DIR, error);
  ASSERT_TRUE(painter) << error;
  PauseWatch audio;
  SdlPlatform platform(*painter, audio, 1);
  KeyMap keys;
  std::vector<std::string> complaints;
  keys.read("key.Pause=p\n", complaints);
  platform.setKeyMap(keys);
  platform.setPausing(true, true);

  // The splash shows the menu at 3000 of the run's clock. Paused at about
  // 1000 for 1.5 s of the wall's.
  auto press = [](SDL_EventType type) {
    SDL_Event e{};
    e.type = type;
    e.key.keysym.sym = SDLK_p;
    e.key.keysym.scancode = SDL_SCANCODE_P;
    e.key.timestamp = SDL_GetTicks();
    SDL_PushEvent(&e);
  };
  std::thread player([&] {
    for (int ms : {1000, 1500}) {
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
      press(SDL_KEYDOWN);
      press(SDL_KEYUP);
    }
  });
  TempDir dir;
  RunConfig config;
  config.programDir = dir.path();
  config.until = 3100;
  Runtime* runtime = nullptr;
  Trace trace([&] { return runtime ? runtime->now() : 0; });
  trace.keepLines(true);
  const auto start = std::chrono::steady_clock::now();
  {
    std::unique_ptr<Program> program;
    Runtime rt(platform, trace, config);
    ScriptRecorder record(dir.file("rec.script"), 1);
    rt.setRecorder(&record);
    runtime = &rt;
    program = makeQspe(rt, audio);
    rt.run(program->entry({}));
    runtime = nullptr;
  }
  const auto took = std::chrono::steady_clock::now() - start;
  player.join();
  painter.reset();
  SDL_QuitSubSystem(SDL_INIT_VIDEO);

  TraceView t(trace.lines());
  const std::int64_t paused = t.first("pause");
  ASSERT_GE(paused, 900) << t.dump();
  EXPECT_EQ(t.first("resume"), paused) << t.dump();
  EXPECT_EQ(t.count(" pause"), 1);
  EXPECT_EQ(t.first("show FormMain"), 3000) << "the splash's timer, on time on the run's clock";
  EXPECT_GE(took, std::chrono::milliseconds(3000 + 1400));
  EXPECT_EQ(audio.pauses, (std::vector<bool>{true, false}));
  // The pause is no scene's: its key reaches none. The record has it, as a
  // script that replays it.
  EXPECT_EQ(t.count("key "), 0) << t.dump();
  const std::string p = std::to_string(paused);
  const Script recorded = parseScript(readFile(dir.file("rec.script")));
  std::string lines;
  for (const InputEvent& e : recorded.events) lines += scriptLine(e) + "\n";
  EXPECT_NE(lines.find(p + " pause\n" + p + " resume\n"), std::string::npos) << lines;
  // Replayed headless, the run gives the same trace, its pause included.
  const CommandResult replay = runCommand(std::string(QSPE_BINARY) + " --headless --dir " + dir.path() + " --script " +
                                          dir.file("rec.script") + " --until 3100 --trace " + dir.file("replay.trace"));
  ASSERT_EQ(replay.status, 0) << replay.out;
  std::string live;
  for (const std::string& l : trace.lines()) live += l + "\n";
  EXPECT_EQ(readFile(dir.file("replay.trace")), live);
}

}  // namespace
}  // namespace qs::test
