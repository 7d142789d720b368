// How fast a headless run goes: one minute of a scene's clock (a 10 ms poll,
// a 250 ms blink and a 1000 ms tick that moves a label) on the virtual clock.
#include <benchmark/benchmark.h>

#include "platform/headless/headless_platform.h"
#include "runtime/fonts.h"
#include "runtime/runtime.h"

namespace {

class Busy : public qs::Form {
 public:
  Busy() : Form("Busy", qs::Units::Pixels) {}
  void design() override {
    setClientSize(165, 265);
    place(label_, "Label", {"R", qs::wingdings(27.75, true), qs::Align::Centre, qs::colors::black, {0, 0, 33, 33}});
    addTimer(poll_, "Poll", 10, true, [this] { held_ = !held_; });
    addTimer(blink_, "Blink", 250, true, [this] { label_.setVisible(!label_.visible()); });
    addTimer(step_, "Step", 1000, true, [this] { label_.setTop(label_.top() + 32); });
  }

 private:
  qs::Label label_;
  qs::Timer poll_, blink_, step_;
  bool held_ = false;
};

void BM_HeadlessMinute(benchmark::State& state) {
  for (auto _ : state) {
    qs::HeadlessPlatform platform;
    qs::Trace trace([] { return 0; });
    trace.keepLines(state.range(0) != 0);
    qs::RunConfig config;
    config.programDir = QSPE_PROGRAM_DIR;
    config.until = 60000;
    qs::Runtime rt(platform, trace, config);
    rt.addForm(std::make_unique<Busy>());
    rt.run("Busy");
    benchmark::DoNotOptimize(trace.lines().size());
  }
}
BENCHMARK(BM_HeadlessMinute)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
