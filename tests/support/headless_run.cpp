#include "support/headless_run.h"

#include "runtime/script.h"
#include "sound/midi_file.h"

namespace qs::test {
namespace {

RunConfig configOf(HeadlessRun::Setup& s, const TempDir& own) {
  if (s.dir.empty()) s.dir = own.path();
  RunConfig c;
  c.programDir = s.dir;
  c.seed = s.seed;
  c.until = s.until;
  return c;
}

// A form with nothing on it, for runs that need only the clock. The actions
// of time 0 run as it is first activated.
class Blank : public Form {
 public:
  explicit Blank(std::vector<std::function<void()>>& atStart) : Form("Blank", Units::Pixels), atStart_(atStart) {}
  void design() override { setClientSize(10, 10); }
  void Form_Activate() override {
    auto actions = std::move(atStart_);
    atStart_.clear();
    for (auto& a : actions) a();
  }

 private:
  std::vector<std::function<void()>>& atStart_;
};

}  // namespace

void RecordingAudio::openMusic(std::shared_ptr<const MidiTune> tune) { calls.push_back("open " + base(tune->path)); }

HeadlessRun::HeadlessRun(Setup s)
    : setup_(std::move(s)),
      platform_(setup_.screen, setup_.painter),
      trace_([this] { return rt_ ? rt_->now() : 0; }),
      rt_(std::make_unique<Runtime>(platform_, trace_, configOf(setup_, ownDir_))),
      sound_(*rt_, platform_.audio, "Qspe"),
      scores_(*rt_, "Qspe"),
      services_{sound_, scores_} {
  trace_.keepLines(true);
  for (const auto& name : setup_.media)
    std::filesystem::copy_file(std::filesystem::path(QSPE_PROGRAM_DIR) / name, file(name));
  if (setup_.scores) writeBytes(file("Qspe.dat"), *setup_.scores);
  for (auto& e : parseScript(setup_.live).events) platform_.live.push_back(e);
}

// The forms go first, while the services their members call are still there.
HeadlessRun::~HeadlessRun() {
  actions_.clear();
  rt_.reset();
}

void HeadlessRun::at(std::int64_t ms, std::function<void()> action) {
  if (ms == rt_->now()) {
    atStart_.push_back(std::move(action));
    return;
  }
  Timer& t = actions_.emplace_back();
  t.attach(*rt_, "action", static_cast<int>(ms - rt_->now()), true, [&t, action = std::move(action)] {
    t.detach();
    action();
  });
}

TraceView HeadlessRun::run(const std::string& startForm, const std::string& script) {
  Script parsed = parseScript(script);
  if (setup_.until == kNever && !parsed.events.empty()) rt_->setScriptEnd(parsed.events.back().time);
  rt_->setScript(parsed.events);
  if (startForm.empty() && !rt_->hasForm("Blank")) rt_->addForm(std::make_unique<Blank>(atStart_));
  if (!startForm.empty() && !atStart_.empty()) ADD_FAILURE() << "actions at time 0 need a run without a start form";
  rt_->run(startForm.empty() ? "Blank" : startForm);
  return trace();
}

TraceView HeadlessRun::runUntil(std::int64_t ms) {
  rt_->setScriptEnd(ms);
  return run();
}

}  // namespace qs::test
