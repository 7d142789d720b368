#include "support/scene_harness.h"

#include <algorithm>

namespace qs::test {

namespace {
RunConfig configOf(const HeadlessRun::Setup& s) {
  RunConfig c;
  c.programDir = s.dir;
  c.seed = s.seed;
  c.until = s.until;
  return c;
}
}  // namespace

HeadlessRun::HeadlessRun(Setup s)
    : setup_(s),
      platform_(s.screen, s.painter),
      trace_([this] { return rt_ ? rt_->now() : 0; }),
      rt_(std::make_unique<Runtime>(platform_, trace_, configOf(s))),
      sound_(*rt_, audio_, "Qspe"),
      scores_(*rt_, "Qspe"),
      services_{sound_, scores_} {
  trace_.keepLines(true);
}

// The forms go first, while the services their members call are still there.
HeadlessRun::~HeadlessRun() { rt_.reset(); }

const std::vector<std::string>& HeadlessRun::run(const std::string& startForm, const std::string& script) {
  Script parsed = parseScript(script);
  if (setup_.until == kNever && !parsed.events.empty()) rt_->setScriptEnd(parsed.events.back().time);
  rt_->setScript(parsed.events);
  rt_->run(startForm);
  return trace_.lines();
}

std::vector<std::string> HeadlessRun::grep(const std::string& text) const {
  std::vector<std::string> out;
  for (auto& l : trace_.lines())
    if (l.find(text) != std::string::npos) out.push_back(l);
  return out;
}

bool HeadlessRun::has(const std::string& line) const { return indexOf(line) >= 0; }

int HeadlessRun::indexOf(const std::string& line, int from) const {
  auto& ls = trace_.lines();
  for (int i = std::max(0, from); i < static_cast<int>(ls.size()); ++i)
    if (ls[static_cast<std::size_t>(i)] == line) return i;
  return -1;
}

std::string HeadlessRun::dump() const {
  std::string s;
  for (auto& l : trace_.lines()) s += l + "\n";
  return s;
}

}  // namespace qs::test
