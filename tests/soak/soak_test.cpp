// Random keys over the menu and every scene. Skipping the ticks of polls whose
// state has not changed is invisible: a minute of each scene gives the same
// trace and sound with it as without. And for hours of the run's clock nothing
// may crash, trip a sanitizer or hang (CTest's timeout catches that).
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "app/qspe_program.h"
#include "platform/headless/headless_platform.h"
#include "runtime/keys.h"
#include "runtime/runtime.h"
#include "runtime/script.h"
#include "support/headless_run.h"
#include "support/program_keys.h"

namespace qs::test {
namespace {

// Once the menu is up, Right `entry` times and Z, so that the run goes on in
// that entry's scene; then presses and releases of the game's keys at random
// moments, each held for a random while. X is rare, as it ends the program
// on the menu.
std::vector<InputEvent> randomKeys(std::mt19937_64& rng, int entry, std::int64_t until) {
  using K = InputEvent::Kind;
  std::discrete_distribution<int> pick({10, 3, 3, 3, 3, 0.5});
  static constexpr int kKeys[] = {vbKeyZ, vbKeyLeft, vbKeyRight, vbKeyUp, vbKeyDown, vbKeyX};
  std::uniform_int_distribution<int> gap(1, 900), hold(1, 600), repeats(0, 3);
  std::vector<InputEvent> events;
  auto press = [&](K kind, std::int64_t at, int key) {
    InputEvent& e = events.emplace_back();
    e.kind = kind, e.time = at, e.key = key;
  };
  std::int64_t t = 3000;
  for (int i = 0; i <= entry; ++i) {
    const int key = i < entry ? vbKeyRight : vbKeyZ;
    press(K::KeyDown, t += 50, key);
    press(K::KeyUp, t += 50, key);
  }
  while (t < until) {
    t += gap(rng);
    const int key = kKeys[pick(rng)];
    const std::int64_t up = t + hold(rng);
    press(K::KeyDown, t, key);
    for (int r = repeats(rng), i = 1; i <= r; ++i) press(K::KeyRepeat, t + (up - t) * i / (r + 1), key);
    press(K::KeyUp, t = up, key);
  }
  return events;
}

struct Played {
  std::vector<std::string> trace, sound;
  std::uint64_t skipped = 0;
  std::int64_t until = 0;
};

// One run of the program from its start; `each` is called every 100 ms.
Played play(RunConfig config, bool allCleared, const std::vector<InputEvent>& script, bool keepTrace = true,
            const std::function<void(Runtime&)>& each = nullptr) {
  TempDir dir;
  makeProgramDir(dir, allCleared);
  HeadlessPlatform platform;
  RecordingAudio audio;
  Runtime* rt = nullptr;
  Trace trace([&] { return rt ? rt->now() : 0; });
  trace.keepLines(keepTrace);
  config.programDir = dir.path();
  std::unique_ptr<Program> program;  // made first: its services outlive the runtime's forms
  Runtime runtime(platform, trace, config);
  rt = &runtime;
  program = makeQspe(runtime, audio);
  Timer watch;
  if (each) watch.attach(runtime, "watch", 100, true, [&] { each(runtime); });
  runtime.setScript(script);
  EXPECT_EQ(runtime.run(program->entry({})), 0);
  return {trace.lines(), audio.calls, runtime.skippedTicks(), runtime.now()};
}

struct Case {
  const char* name;
  int entry;                // the menu entry random keys play in, every game cleared
  std::string script = "";  // instead of random keys, on a record with none cleared
};
class QuietPolls : public ::testing::TestWithParam<Case> {};

TEST_P(QuietPolls, RunTheSameAsEveryTick) {
  const Case& c = GetParam();
  constexpr std::int64_t kRunMs = 60 * 1000;
  std::mt19937_64 rng(static_cast<std::uint64_t>(c.entry) + 1);
  const auto script = c.script.empty() ? randomKeys(rng, c.entry, kRunMs) : parseScript(c.script).events;
  RunConfig config;
  config.until = kRunMs, config.quietPolls = false;
  const Played every = play(config, c.script.empty(), script);
  config.quietPolls = true;
  const Played quiet = play(config, c.script.empty(), script);
  EXPECT_EQ(every.skipped, 0u);
  EXPECT_GT(quiet.skipped, 0u);
  EXPECT_EQ(quiet.sound, every.sound);
  const auto differ = std::ranges::mismatch(quiet.trace, every.trace).in1 - quiet.trace.begin();
  EXPECT_TRUE(quiet.trace == every.trace) << "first difference at line " << differ;
}

// On the locked entries a step on and straight back within one tick leaves
// the index as it was, yet the cover must come to the front again.
const std::string kLockedSteps =
    "3100 down Right\n3110 up Right\n3200 down Right\n3210 up Right\n3300 down Right\n3310 up Right\n"
    "3400 down Right\n3410 up Right\n3500 down Right\n3510 up Right\n"
    "3601 down Right\n3605 down Left\n3700 up Right\n3700 up Left\n3801 down Left\n3805 down Right\n"
    "3900 up Left\n3900 up Right\n4000 down Z\n4100 up Z\n4500 down Left\n4600 up Left\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Scenes, QuietPolls, ::testing::Values(
    Case{"QB", 0}, Case{"QBL", 1}, Case{"QBF", 2}, Case{"QRB", 3}, Case{"QS", 4}, Case{"First", 5}, Case{"Sam", 6},
    Case{"MenuLocked", 0, kLockedSteps}), [](const auto& info) { return std::string(info.param.name); });
// clang-format on

class Soak : public ::testing::TestWithParam<std::uint64_t> {};

// Two hours of the run's clock in runs of at most 15 minutes, so that every
// scene gets its runs; all entries open in the first seven.
TEST_P(Soak, RandomKeysOverEveryScene) {
  constexpr std::int64_t kSoakMs = 2 * 60 * 60 * 1000, kRunMs = 15 * 60 * 1000;
  std::mt19937_64 rng(GetParam());
  std::set<std::string> seen;
  int run = 0;
  for (std::int64_t played = 0; played < kSoakMs; ++run) {
    RunConfig config;
    config.seed = rng(), config.until = std::min(kRunMs, kSoakMs - played);
    const auto script = randomKeys(rng, run % 7, config.until);
    auto note = [&](Runtime& rt) {
      for (const Form* f : rt.loadedForms()) seen.insert(f->name());
    };
    played += std::max<std::int64_t>(play(config, (run / 7) % 2 == 0, script, false, note).until, 1);
  }
  for (const char* scene : {"FormStartUp", "FormMain", "FormQB", "FormQBL", "FormQBF", "FormQRB", "FormQS", "FormFirst",
                            "FormQF", "FormSam"})
    EXPECT_TRUE(seen.count(scene)) << scene << " was never reached in " << run << " runs";
}

INSTANTIATE_TEST_SUITE_P(Seeds, Soak, ::testing::Range<std::uint64_t>(1, 11));

}  // namespace
}  // namespace qs::test
