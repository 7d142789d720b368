// Random keys over the menu and every scene for hours of the run's clock:
// nothing may crash, trip a sanitizer or hang (CTest's timeout catches that).
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/qspe_program.h"
#include "platform/headless/headless_platform.h"
#include "runtime/runtime.h"
#include "sound/audio_device.h"
#include "support/files.h"
#include "support/program_keys.h"

namespace qs::test {
namespace {

constexpr std::int64_t kSoakMs = 2 * 60 * 60 * 1000;  // two hours of the run's clock
constexpr std::int64_t kRunMs = 15 * 60 * 1000;       // at most, so that every scene gets its runs

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
    config.programDir = dir.path(), config.seed = rng(), config.until = std::min(kRunMs, kSoakMs - played);
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
