#include <gtest/gtest.h>

#include <string>

#include "sound/cls_midi.h"
#include "sound/midi_file.h"
#include "support/headless_run.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

std::shared_ptr<const MidiTune> tuneIn(const std::string& path) {
  MidiLoadError why = MidiLoadError::None;
  auto tune = loadMidiFile(path, why);
  EXPECT_TRUE(tune) << path;
  return tune;
}

std::int64_t lengthFrom(const MidiTune& tune, std::int64_t fromMs) {
  auto timing = parseMidiTiming(midiFrom(tune, fromMs));
  EXPECT_TRUE(timing) << tune.path << " from " << fromMs;
  return timing ? timing->lengthMs() : -1;
}

// The player reads the tune as from the point: what comes after keeps its
// time, tempo changes before the point included.
TEST(MidiFrom, WhatFollowsThePointKeepsItsTimeUnderTheTempoInForceThere) {
  for (const char* name : {"select.mid", "title.mid", "bgm.mid", "fbgm.mid"}) {
    auto tune = tuneIn(std::string(QSPE_PROGRAM_DIR) + "/" + name);
    if (!tune) continue;
    std::int64_t length = tune->timing.lengthMs();
    EXPECT_EQ(midiFrom(*tune, 0), tune->bytes) << name;
    for (std::int64_t from : {std::int64_t{1}, length / 3, length - 5})
      EXPECT_NEAR(lengthFrom(*tune, from), length - from, 2) << name << " from " << from;
  }
  // 480 ticks a quarter: one quarter at 60 bpm (1000 ms), then three at 240 bpm (750 ms).
  Track conductor;
  conductor.tempo(1000000).after(480).tempo(250000).end();
  Track melody;
  melody.program(0, 40).noteOn(0, 60).after(1920).noteOff(0, 60).end();
  auto bytes = midiBytes(480, {conductor, melody});
  MidiTune tune{"tempo.mid", bytes, *parseMidiTiming(bytes)};
  ASSERT_EQ(tune.timing.lengthMs(), 1750);
  EXPECT_NEAR(lengthFrom(tune, 500), 1250, 2);
  EXPECT_NEAR(lengthFrom(tune, 1250), 500, 2) << "240 bpm from the start of the file";
}

// Each game start sends "seek midifile to 1" and resumes; from then on the
// poll is due when the tune ends, so every restart lands on the end.
TEST(MusicLoop, EachRestartFromZeroComesWithin10MsOfTheTunesEnd) {
  HeadlessRun run({.media = {"title.mid", "bgm.mid"}});
  auto bgm = tuneIn(run.file("bgm.mid"));
  ASSERT_TRUE(bgm);
  const std::int64_t length = bgm->timing.lengthMs();
  const std::int64_t gameStart = 1234;
  std::unique_ptr<clsMIDI> midi;
  run.at(0, [&] {
    midi = std::make_unique<clsMIDI>(run.sound());
    midi->FileName(run.file("title.mid"));
    midi->PlayLoop();
  });
  run.at(gameStart, [&] {
    midi->FileName(run.file("bgm.mid"));
    midi->Position("1");
    midi->ResumeM();
  });
  const std::int64_t until = gameStart + 3 * length + 1000;
  run.runUntil(until);
  const std::vector<std::int64_t> restarts = run.trace().times("mci \"play midifile from 0\"");
  ASSERT_EQ(restarts.size(), 3u) << run.trace().dump();
  std::int64_t started = gameStart, from = 1;
  for (std::int64_t at : restarts) {
    std::int64_t end = started + length - from;
    EXPECT_GE(at, end);
    EXPECT_LE(at, end + 10) << "restart after the start at " << started;
    started = at;
    from = 0;
  }
  // Being due at the end does not make the poll busy.
  EXPECT_LE(run.trace().count("\"status midifile mode\""), until / 250 + 2 * 4);
}

}  // namespace
}  // namespace qs::test
