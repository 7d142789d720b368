// The music player's loop on the run's clock: when a tune restarts, and when
// the loop ends (what the device then sounds is the sequencer's test).
#include "sound/cls_midi.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "support/headless_run.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

using Times = std::vector<std::int64_t>;

struct Player {
  HeadlessRun run;
  std::unique_ptr<clsMIDI> midi;
  void loop(const std::string& tune) {
    if (!midi) midi = std::make_unique<clsMIDI>(run.sound());
    midi->FileName(run.file(tune));
    midi->PlayLoop();
  }
};

struct Loop {
  const char* what;
  std::vector<std::pair<std::int64_t, std::function<void(Player&)>>> steps;
  std::int64_t until;
  Times restarts;         // of "play midifile from 0"
  std::int64_t lastPoll;  // -1: polls to the end
};

void loopTitle(Player& p) { p.loop("title.mid"); }
void gameStart(Player& p) {  // the game tune from 1 ms
  p.midi->FileName(p.run.file("bgm.mid"));
  p.midi->Position("1");
  p.midi->ResumeM();
}

TEST(MusicLoop, RestartsComeAtTheTunesEndUntilTheLoopEnds) {
  // clang-format off
  const Loop cases[] = {
      {"a 900 ms tune", {{0, loopTitle}}, 2600, {900, 1800}, -1},
      {"250 ms loops", {{0, [](Player& p) { p.loop("250.mid"); }}}, 990, {250, 500, 750}, -1},
      {"249 ms is played once", {{0, [](Player& p) { p.loop("249.mid"); }}}, 990, {}, -1},
      {"StopM ends it", {{0, loopTitle}, {600, [](Player& p) { p.midi->StopM(); }}}, 3000, {}, 750},
      {"Play ends it", {{0, loopTitle}, {600, [](Player& p) { p.midi->Play(); }}}, 3000, {}, 750},
      {"the player's release ends it", {{0, loopTitle}, {0, loopTitle}, {600, [](Player& p) { p.midi.reset(); }}},
       3000, {}, 500},
      // Neither restarted nor left while paused; resumed from 300 at 3010, it ends at 3610.
      {"paused",
       {{0, loopTitle}, {300, [](Player& p) { p.midi->Pause(); }}, {3010, [](Player& p) { p.midi->ResumeM(); }}},
       4100, {3610}, -1},
      // A game start at 500 ends at 1199; game over pauses it.
      {"game start", {{0, loopTitle}, {500, gameStart}, {1800, [](Player& p) { p.midi->Pause(); }}}, 3000, {1199}, -1},
      {"nothing open", {{0, [](Player& p) { p.loop("missing.mid"); }}, {1100, [](Player& p) { p.midi->StopM(); }}},
       3000, {}, 1250},
      {"the program's end", {{0, loopTitle}, {300, [](Player& p) { p.run.rt().end(); }}}, 1000, {}, 250},
  };
  // clang-format on
  for (const Loop& c : cases) {
    SCOPED_TRACE(c.what);
    Player p;
    for (auto [name, ms] : {std::pair{"title.mid", 900}, {"bgm.mid", 700}, {"250.mid", 250}, {"249.mid", 249}})
      writeBytes(p.run.file(name), tuneOfMs(ms));
    for (const auto& [at, step] : c.steps) p.run.at(at, [&p, &step] { step(p); });
    p.run.runUntil(c.until);
    EXPECT_EQ(p.run.trace().times("mci \"play midifile from 0\""), c.restarts) << p.run.trace().dump();
    const Times polls = p.run.trace().times("mci \"status midifile mode\"");
    EXPECT_EQ(std::set<std::int64_t>(polls.begin(), polls.end()).size(), polls.size()) << "one poll at a time";
    EXPECT_EQ(polls.empty() ? -1 : polls.back(), c.lastPoll >= 0 ? c.lastPoll : polls.back()) << "the last poll";
    EXPECT_TRUE(c.lastPoll >= 0 || polls.back() > c.until - 250) << "polls to the end";
    if (!p.run.rt().programEnded()) continue;
    const auto sent = p.run.trace().count(" mci ");
    p.midi.reset();  // after the program's end its code sends nothing, released or not
    EXPECT_EQ(p.run.trace().count(" mci "), sent);
  }
}

}  // namespace
}  // namespace qs::test
