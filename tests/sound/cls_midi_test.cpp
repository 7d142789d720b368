#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>

#include "sound/cls_midi.h"
#include "sound/mci_sequencer.h"
#include "support/headless_run.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

using Lines = std::vector<std::string>;

// The music player on a run's clock, over a recording audio device, with two
// tunes of known lengths.
class MusicPlayer : public ::testing::Test {
 protected:
  void SetUp() override {
    writeBytes(run.file("title.mid"), tuneOfMs(900));
    writeBytes(run.file("bgm.mid"), tuneOfMs(700));
  }
  std::string file(const std::string& name) const { return run.file(name); }
  Runtime& rt() { return run.rt(); }
  std::unique_ptr<clsMIDI> player(const std::string& tune) {
    auto p = std::make_unique<clsMIDI>(run.sound());
    p->FileName(file(tune));
    return p;
  }
  // The commands sent, and the times of one of them.
  std::vector<std::string> commands() const {
    auto sent = run.trace().grep(" mci ", true);
    for (auto& c : sent) c.erase(0, 4);
    return sent;
  }
  std::vector<std::int64_t> timesOf(const std::string& command) const { return run.trace().times("mci " + command); }

  HeadlessRun run;
  std::unique_ptr<clsMIDI> midi;
};

const std::string kPlayFrom0 = "\"play midifile from 0\"", kModePoll = "\"status midifile mode\"";

TEST_F(MusicPlayer, EveryOperationSendsItsCommandsInOrder) {
  run.at(0, [&] {
    midi = player("title.mid");
    midi->Play();
    midi->StopM();
    midi->Pause();
    midi->ResumeM();
    midi->Position("1");
    EXPECT_EQ(midi->Position(), "1");
    EXPECT_EQ(midi->Length(), 900);
    EXPECT_EQ(midi->Mode(), "STOPPED");
    midi->PlayLoop();
    midi.reset();
  });
  run.runUntil(0);
  EXPECT_EQ(commands(), (Lines{
                                 R"("stop midifile ")",  // Class_Initialize
                                 R"("close midifile")",
                                 R"("stop midifile ")",  // FileName
                                 R"("close midifile")",
                                 R"("open <dir>/title.mid type sequencer alias midifile")",
                                 R"("stop midifile ")",  // Play
                                 R"("play midifile")",
                                 R"("stop midifile ")",  // StopM
                                 R"("pause midifile ")",  // Pause
                                 R"("stop midifile ")",  // ResumeM: not looping, so Play
                                 R"("play midifile")",
                                 R"("seek midifile to 1")",  // Position set
                                 R"("status midifile position")",
                                 R"("status midifile length")",
                                 R"("status midifile mode")",
                                 R"("play midifile")",  // PlayLoop
                                 R"("stop midifile ")",  // Class_Terminate
                                 R"("close midifile")",
                             }))
      << run.trace().dump();
}

TEST_F(MusicPlayer, ALoopedTuneRestartsFromTheBeginningAsItEnds) {
  run.at(0, [&] {
    midi = player("title.mid");  // 900 ms
    midi->PlayLoop();
    EXPECT_TRUE(midi->looping());
  });
  run.at(300, [&] { EXPECT_EQ(midi->Position(), "300"); });
  run.at(1100, [&] { EXPECT_EQ(midi->Position(), "200") << "restarted at 900"; });
  run.runUntil(2600);
  EXPECT_EQ(timesOf(kPlayFrom0), (std::vector<std::int64_t>{900, 1800})) << run.trace().dump();
  EXPECT_EQ(timesOf(kModePoll), (std::vector<std::int64_t>{250, 500, 750, 900, 1150, 1400, 1650, 1800, 2050, 2300, 2550}))
      << "a poll every 250 ms, and one as the tune ends";
  EXPECT_EQ(run.audio().calls, (Lines{"open title.mid", "play 0", "play 0", "play 0"}));
}

// A tune shorter than a round of the poll is played once and left, however
// busy it is; from 250 ms on a tune loops. Restarts over 4990 ms of looping:
TEST(ShortTune, IsRestartedOnlyWhenItLastsARoundOfThePoll) {
  const std::tuple<const char*, Bytes, std::size_t> cases[] = {
      {"0 ms", tuneOfMs(0), 0},     {"1 ms", tuneOfMs(1), 0},
      {"249 ms", tuneOfMs(249), 0}, {"busiest, 0 ms", busyTune(kMaxMidiEvents, kMaxMidiTempos), 0},
      {"250 ms", tuneOfMs(250), 19}, {"700 ms", tuneOfMs(700), 7}};
  for (const auto& [name, bytes, restarts] : cases) {
    SCOPED_TRACE(name);
    HeadlessRun run;
    writeBytes(run.file("tune.mid"), bytes);
    std::unique_ptr<clsMIDI> midi;
    run.at(0, [&] {
      midi = std::make_unique<clsMIDI>(run.sound());
      midi->FileName(run.file("tune.mid"));
      midi->PlayLoop();
    });
    run.runUntil(4990);
    EXPECT_EQ(run.trace().times("mci " + kPlayFrom0).size(), restarts);
  }
}

class LoopEnd : public MusicPlayer, public ::testing::WithParamInterface<bool> {};

TEST_P(LoopEnd, StopOrPlayEndTheLoopAtTheNextPoll) {
  run.at(0, [&] {
    midi = player("title.mid");
    midi->PlayLoop();
  });
  run.at(600, [&] { GetParam() ? midi->StopM() : midi->Play(); });
  run.runUntil(3000);
  EXPECT_TRUE(timesOf(kPlayFrom0).empty()) << run.trace().dump();
  EXPECT_EQ(timesOf(kModePoll).back(), 750) << "the poll ends at its first round after";
  EXPECT_FALSE(midi->polling());
  EXPECT_FALSE(midi->looping());
}

INSTANTIATE_TEST_SUITE_P(MusicPlayer, LoopEnd, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Stop" : "Play"; });

TEST_F(MusicPlayer, APausedTuneIsNeitherRestartedNorLeft) {
  run.at(0, [&] {
    midi = player("title.mid");
    midi->PlayLoop();
  });
  run.at(300, [&] { midi->Pause(); });
  run.at(3010, [&] {
    EXPECT_TRUE(midi->polling());
    EXPECT_EQ(midi->Mode(), "PAUSED");
    midi->ResumeM();  // still looping: plays on from 300 through PlayLoop
  });
  run.runUntil(4100);
  // Resumed at 3010 from 300, so the tune ends at 3610 and is restarted then.
  EXPECT_EQ(timesOf(kPlayFrom0), (std::vector<std::int64_t>{3610})) << run.trace().dump();
  EXPECT_EQ(run.audio().calls, (Lines{"open title.mid", "play 0", "stop", "play 300", "play 0"}));
}

TEST_F(MusicPlayer, AGameStartSwitchesToTheGameTuneAndKeepsLooping) {
  run.at(0, [&] {
    midi = player("title.mid");
    midi->PlayLoop();
  });
  run.at(500, [&] {  // gameStart
    midi->FileName(file("bgm.mid"));
    midi->Position("1");
    midi->ResumeM();
  });
  run.at(1800, [&] { midi->Pause(); });  // game over
  run.runUntil(3000);
  // bgm (700 ms) from 1 at 500 ends at 1199 and is restarted then; paused at 1800 for good.
  EXPECT_EQ(timesOf(kPlayFrom0), (std::vector<std::int64_t>{1199})) << run.trace().dump();
  EXPECT_EQ(run.audio().calls,
            (Lines{"open title.mid", "play 0", "stop", "close", "open bgm.mid", "play 1", "play 0", "stop"}));
  EXPECT_EQ(run.trace().count("\"resume midifile \""), 0u);
}

TEST_F(MusicPlayer, PlayersShareOneDevice) {
  clsMIDI* first = nullptr;
  run.at(0, [&] {
    midi = player("title.mid");
    first = midi.get();
    first->PlayLoop();
  });
  std::unique_ptr<clsMIDI> second;
  run.at(100, [&] {
    second = std::make_unique<clsMIDI>(run.sound());
    EXPECT_EQ(first->Mode(), "NOT READY") << "a new player closes the device";
    second->FileName(file("bgm.mid"));
    EXPECT_EQ(first->Length(), 700) << "the first player sees the second one's tune";
  });
  run.runUntil(200);
  EXPECT_EQ(run.audio().calls, (Lines{"open title.mid", "play 0", "stop", "close", "open bgm.mid"}));
}

TEST_F(MusicPlayer, WithNothingOpenPlayLoopPlaysNothingAndItsPollEndsWhenStoppedOrReleased) {
  run.at(0, [&] {
    midi = player("missing.mid");
    EXPECT_EQ(midi->result(), mci::kFileNotFound);
    midi->PlayLoop();
    EXPECT_EQ(midi->Mode(), "NOT READY");
  });
  run.at(1000, [&] { EXPECT_TRUE(midi->polling()); midi->StopM(); });
  run.at(2000, [&] {
    EXPECT_FALSE(midi->polling());
    auto fresh = std::make_unique<clsMIDI>(run.sound());  // nothing set at all
    fresh->PlayLoop();
    fresh->PlayLoop();
    midi = std::move(fresh);
  });
  run.at(2600, [&] { midi.reset(); });
  run.runUntil(5000);
  auto polls = timesOf(kModePoll);
  EXPECT_EQ(std::count_if(polls.begin(), polls.end(), [](auto t) { return t > 1250 && t < 2000; }), 0)
      << run.trace().dump();
  EXPECT_EQ(std::count_if(polls.begin(), polls.end(), [](auto t) { return t >= 2000; }), 2) << "2250 and 2500";
  EXPECT_TRUE(timesOf(kPlayFrom0).empty());
  EXPECT_TRUE(run.audio().calls.empty());
}

TEST_F(MusicPlayer, VisitingAScene10TimesLeavesAtMostOnePoll) {
  // Each visit makes a player, loops the title, and releases the player on
  // leaving; odd visits are left before the first poll, even ones after three.
  for (int visit = 0; visit < 10; ++visit) {
    std::int64_t t = visit * 1000;
    run.at(t, [&, visit] {
      midi = player(visit % 3 ? "title.mid" : "missing.mid");
      midi->PlayLoop();
      midi->PlayLoop();  // a second call while polling starts no second poll
    });
    run.at(t + (visit % 2 ? 100 : 990), [&] {
      midi->StopM();
      midi.reset();
    });
  }
  // A scene that keeps its player and loops it at every activation.
  clsMIDI* kept = nullptr;
  for (int i = 0; i < 10; ++i)
    run.at(10000 + i * 100, [&] {
      if (!midi) midi = std::make_unique<clsMIDI>(run.sound());
      kept = midi.get();
      if (!kept->looping()) kept->FileName(file("title.mid"));
      kept->PlayLoop();
    });
  run.runUntil(13000);
  std::map<std::int64_t, int> perTime;
  for (auto t : timesOf(kModePoll)) ++perTime[t];
  int visitPolls = 0;
  for (auto [t, n] : perTime) {
    EXPECT_EQ(n, 1) << "polls at " << t;
    if (t < 10000) {
      ++visitPolls;
      EXPECT_EQ(t / 1000 % 2, 0) << "only the even visits were polled, not at " << t;
    }
  }
  // Three polls in a visit with no tune, four with the title (it ends at 900).
  EXPECT_EQ(visitPolls, 3 + 4 + 4 + 3 + 4);
  // The kept loop plays on: the title, at its end at 10900, restarts at the
  // next poll (11150), then at its ends at 12050 and 12950.
  EXPECT_EQ(timesOf(kPlayFrom0), (std::vector<std::int64_t>{2900, 4900, 8900, 11150, 12050, 12950}));
  EXPECT_TRUE(kept->polling());
}

TEST_F(MusicPlayer, NothingIsSentAfterEnd) {
  run.at(0, [&] {
    midi = player("title.mid");
    midi->PlayLoop();
  });
  run.at(100, [&] { rt().end(); });
  run.runUntil(1000);
  ASSERT_TRUE(rt().programEnded());
  auto before = commands().size();
  midi.reset();
  EXPECT_EQ(commands().size(), before);
}

}  // namespace
}  // namespace qs::test
