// Scripts of input events: any text given with --script.
#include "fuzz_support.h"
#include "runtime/script.h"

namespace {

bool sameEvent(const qs::InputEvent& a, const qs::InputEvent& b) {
  return a.kind == b.kind && a.time == b.time && a.key == b.key && a.form == b.form && a.x == b.x && a.y == b.y &&
         a.file == b.file;
}

}  // namespace

FUZZ_TARGET(in) {
  qs::Script script;
  try {
    script = qs::parseScript(in.text());
  } catch (const qs::ScriptError& e) {
    // A bad line is said in one short line of printable text.
    const std::string what = e.what();
    FUZZ_CHECK(e.line >= 1 && what.size() <= 200);
    for (unsigned char c : what) FUZZ_CHECK(c >= 0x20 && c < 0x7f);
    return;
  }
  // Every event written back as a script line reads back as itself.
  std::string again = script.seed ? "seed " + std::to_string(*script.seed) + "\n" : "";
  for (const auto& e : script.events) again += qs::scriptLine(e) + "\n";
  qs::Script reread = qs::parseScript(again);
  FUZZ_CHECK(reread.seed == script.seed && reread.events.size() == script.events.size());
  for (std::size_t i = 0; i < script.events.size(); ++i) {
    FUZZ_CHECK(sameEvent(reread.events[i], script.events[i]));
    FUZZ_CHECK(i == 0 || script.events[i].time >= script.events[i - 1].time);
  }
}
