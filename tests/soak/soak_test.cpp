// Random keys over the menu and every scene for hours of the run's clock:
// nothing may crash, trip a sanitizer or hang (CTest's timeout catches that).
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/qspe_program.h"
#include "platform/headless/headless_platform.h"
#include "qspe/score_record.h"
#include "runtime/keys.h"
#include "runtime/runtime.h"
#include "sound/audio_device.h"
#include "support/files.h"

namespace qs::test {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t kSoakMs = 2 * 60 * 60 * 1000;  // two hours of the run's clock
constexpr std::int64_t kRunMs = 15 * 60 * 1000;       // at most, so that every scene gets its runs

// The build's media in a program directory of the test's own, with every
// game cleared when `allCleared` so that the locked entries open too.
void makeProgramDir(const TempDir& dir, bool allCleared) {
  for (const auto& e : fs::directory_iterator(QSPE_PROGRAM_DIR)) {
    auto ext = e.path().extension();
    if (ext == ".wav" || ext == ".mid" || ext == ".bmp") fs::copy_file(e.path(), fs::path(dir.path()) / e.path().filename());
  }
  ScoreRecord rec;
  if (allCleared) rec = ScoreRecord{kTrue, kTrue, kTrue, kTrue, kTrue, kTrue, 0, 0};
  auto bytes = rec.toBytes();
  writeBytes(dir.file("Qspe.dat"), std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

// Once the menu is up, Right `entry` times and Z, so that every run starts
// in a scene of its own; then presses and releases of the game's keys at random
// moments, each held for a random while. X is rare, as it ends the program
// on the menu.
std::vector<InputEvent> randomKeys(std::mt19937_64& rng, int entry, std::int64_t until) {
  std::discrete_distribution<int> pick({10, 3, 3, 3, 3, 0.5});
  static constexpr int kKeys[] = {vbKeyZ, vbKeyLeft, vbKeyRight, vbKeyUp, vbKeyDown, vbKeyX};
  std::uniform_int_distribution<int> gap(1, 900), hold(1, 600), repeats(0, 3);
  std::vector<InputEvent> events;
  std::int64_t t = 3000;
  auto press = [&](InputEvent::Kind kind, std::int64_t at, int key) {
    InputEvent e;
    e.kind = kind;
    e.time = at;
    e.key = key;
    events.push_back(e);
  };
  for (int i = 0; i < entry; ++i) {
    press(InputEvent::Kind::KeyDown, t += 50, vbKeyRight);
    press(InputEvent::Kind::KeyUp, t += 50, vbKeyRight);
  }
  press(InputEvent::Kind::KeyDown, t += 50, vbKeyZ);
  press(InputEvent::Kind::KeyUp, t += 50, vbKeyZ);
  while (t < until) {
    t += gap(rng);
    const int key = kKeys[pick(rng)];
    const std::int64_t up = t + hold(rng);
    press(InputEvent::Kind::KeyDown, t, key);
    for (int r = repeats(rng), i = 1; i <= r; ++i) press(InputEvent::Kind::KeyRepeat, t + (up - t) * i / (r + 1), key);
    press(InputEvent::Kind::KeyUp, t = up, key);
  }
  return events;
}

class Soak : public ::testing::TestWithParam<std::uint64_t> {};

TEST_P(Soak, RandomKeysOverEveryScene) {
  std::mt19937_64 rng(GetParam());
  std::set<std::string> seen;
  std::int64_t played = 0;
  int run = 0;
  for (; played < kSoakMs; ++run) {
    TempDir dir;
    makeProgramDir(dir, (run / 7) % 2 == 0);  // all open in the first seven runs
    HeadlessPlatform platform;
    SilentAudio audio;
    Runtime* rt = nullptr;
    Trace trace([&] { return rt ? rt->now() : 0; });  // kept nowhere: the run's effects are what count
    RunConfig config;
    config.programDir = dir.path();
    config.seed = rng();
    config.until = std::min(kRunMs, kSoakMs - played);
    std::unique_ptr<Program> program;
    Runtime runtime(platform, trace, config);
    rt = &runtime;
    program = makeQspe(runtime, audio);
    Timer watch;  // notes the scenes this run reaches
    watch.attach(runtime, "watch", 100, true, [&] {
      for (const Form* f : runtime.loadedForms()) seen.insert(f->name());
    });
    runtime.setScript(randomKeys(rng, run % 7, config.until));
    EXPECT_EQ(runtime.run(program->entry({})), 0);
    played += std::max<std::int64_t>(runtime.now(), 1);
    watch.detach();
  }
  for (const char* scene : {"FormStartUp", "FormMain", "FormQB", "FormQBL", "FormQBF", "FormQRB", "FormQS", "FormFirst",
                            "FormQF", "FormSam"})
    EXPECT_TRUE(seen.count(scene)) << scene << " was never reached in " << run << " runs";
}

INSTANTIATE_TEST_SUITE_P(Seeds, Soak, ::testing::Range<std::uint64_t>(1, 11));

}  // namespace
}  // namespace qs::test
