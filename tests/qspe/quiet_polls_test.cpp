// Skipping the ticks of polls whose state has not changed is invisible: every
// scene's run gives the same trace and the same sound with it as without.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "app/qspe_program.h"
#include "platform/headless/headless_platform.h"
#include "runtime/runtime.h"
#include "runtime/script.h"
#include "support/headless_run.h"
#include "support/program_keys.h"

namespace qs::test {
namespace {

constexpr std::int64_t kRunMs = 60 * 1000;

struct Case {
  const char* name;
  int entry;           // the menu entry random keys play in
  bool allCleared;
  std::string script;  // instead of random keys
};
struct Outcome {
  std::vector<std::string> trace, sound;
  std::uint64_t skipped = 0;
};

Outcome play(const Case& c, bool quietPolls) {
  TempDir dir;
  makeProgramDir(dir, c.allCleared);
  HeadlessPlatform platform;
  RecordingAudio audio;
  Runtime* rt = nullptr;
  Trace trace([&] { return rt ? rt->now() : 0; });
  trace.keepLines(true);
  RunConfig config;
  config.programDir = dir.path(), config.until = kRunMs, config.quietPolls = quietPolls;
  std::unique_ptr<Program> program;  // made first: its services outlive the runtime's forms
  Runtime runtime(platform, trace, config);
  rt = &runtime;
  program = makeQspe(runtime, audio);
  std::mt19937_64 rng(static_cast<std::uint64_t>(c.entry) + 1);
  runtime.setScript(c.script.empty() ? randomKeys(rng, c.entry, kRunMs) : parseScript(c.script).events);
  runtime.run(program->entry({}));
  return {trace.lines(), audio.calls, runtime.skippedTicks()};
}

class QuietPolls : public ::testing::TestWithParam<Case> {};

TEST_P(QuietPolls, RunTheSameAsEveryTick) {
  const Outcome every = play(GetParam(), false), quiet = play(GetParam(), true);
  EXPECT_EQ(every.skipped, 0u);
  EXPECT_GT(quiet.skipped, 0u);
  EXPECT_EQ(quiet.sound, every.sound);
  EXPECT_TRUE(quiet.trace == every.trace) << "first difference at line "
      << std::mismatch(quiet.trace.begin(), quiet.trace.end(), every.trace.begin(), every.trace.end()).first - quiet.trace.begin();
}

// On the locked entries a step on and straight back within one tick leaves
// the index as it was, yet the cover must come to the front again.
const std::string kLockedSteps =
    "3100 down Right\n3110 up Right\n3200 down Right\n3210 up Right\n3300 down Right\n3310 up Right\n"
    "3400 down Right\n3410 up Right\n3500 down Right\n3510 up Right\n"
    "3601 down Right\n3605 down Left\n3700 up Right\n3700 up Left\n3801 down Left\n3805 down Right\n"
    "3900 up Left\n3900 up Right\n4000 down Z\n4100 up Z\n4500 down Left\n4600 up Left\n";

INSTANTIATE_TEST_SUITE_P(Scenes, QuietPolls,
                         ::testing::Values(Case{"QB", 0, true, ""}, Case{"QBL", 1, true, ""}, Case{"QBF", 2, true, ""},
                                           Case{"QRB", 3, true, ""}, Case{"QS", 4, true, ""},
                                           Case{"First", 5, true, ""}, Case{"Sam", 6, true, ""},
                                           Case{"MenuLocked", 0, false, kLockedSteps}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qs::test
