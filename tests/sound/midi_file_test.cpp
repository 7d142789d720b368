// A tune's timing as the game reads it: its length and where a tick falls in
// time, through tempo changes, delta times and running status.
#include "sound/midi_file.h"

#include <gtest/gtest.h>

#include "support/media_bytes.h"

namespace qs::test {
namespace {

struct TimingCase {
  const char* what;
  Bytes bytes;
  std::int64_t lengthMs;          // -1: refused
  std::int64_t tick = 0, ms = 0;  // a point the mapping must hit, both ways
};

TEST(MidiTiming, LengthsAndTheTimeOfATick) {
  // 480 ticks a quarter: two quarters at 120 bpm (1000 ms), then two at 240 bpm (500 ms).
  Track tempo;
  tempo.tempo(500000).noteOn(0, 60).after(960).tempo(250000).after(960).noteOff(0, 60).end();
  Track melody;  // two quarters
  melody.noteOn(1, 70).after(960).noteOff(1, 70).end();
  Track walk;  // system exclusive, meta, running status, velocity-0 releases, pressure, bend
  walk.raw({0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}).raw({0xFF, 0x03, 0x02, 'T', 'u'});
  walk.raw({0x90, 60, 100}).after(250).raw({62, 100}).after(250).raw({60, 0}).raw({62, 0});
  walk.raw({0xC1, 5}).raw({0xD0, 0x40}).after(300).raw({0xE0, 0x00, 0x40}).after(200).end();
  Track ok;
  ok.noteOn(0, 60).after(10).noteOff(0, 60).end();
  Bytes unknownChunk = midiBytes(500, {ok}), cut = midiBytes(480, {ok}), missingTrack = cut;
  unknownChunk.insert(unknownChunk.begin() + 14, {'X', 'F', 'I', 'H', 0, 0, 0, 2, 0xAA, 0xBB});
  cut.resize(cut.size() - 3);
  missingTrack[11] = 2;
  // clang-format off
  const TimingCase cases[] = {
      {"tempo change", midiBytes(480, {tempo}), 1500, 1440, 1250},
      {"no tempo: 120 bpm", midiBytes(480, {melody}), 1000, 480, 500},
      {"the longest track decides", midiBytes(480, {ok, melody}), 1000, 960, 1000},
      // A tempo change in a later track rules every track.
      {"tempo from a later track", midiBytes(480, {melody, Track().after(480).tempo(250000).end()}), 750, 720, 625},
      {"events walked over", midiBytes(500, {walk}), 1000, 800, 800},
      {"four-byte delta", midiBytes(500, {Track().after(0x0FFFFFFF).end()}), 0x0FFFFFFF, 0x0FFFFFFF, 0x0FFFFFFF},
      // Timecode: the tempo counts for nothing.
      {"25 frames of 40 ticks", midiBytes(0xE728, {Track().tempo(250000).after(2500).end()}), 2500, 1000, 1000},
      {"29.97 frames of 100 ticks", midiBytes(0xE364, {Track().after(2997).end()}), 1000},
      {"unknown chunk skipped", unknownChunk, 10, 10, 10},
      {"not MThd", Bytes{'X', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1, 0, 1, 1, 0xE0}, -1},
      {"track cut short", cut, -1},
      {"fewer tracks than the header says", missingTrack, -1},
      {"data byte without status", midiBytes(480, {Track().raw({60, 100}).end()}), -1},
      {"system common message", midiBytes(480, {Track().raw({0xF2, 0, 0}).end()}), -1},
      {"no tracks", midiBytes(480, {}), -1},
      {"division 0", midiBytes(0, {ok}), -1},
      {"empty", {}, -1},
  };
  // clang-format on
  for (const TimingCase& c : cases) {
    SCOPED_TRACE(c.what);
    auto t = parseMidiTiming(c.bytes);
    ASSERT_EQ(t.has_value(), c.lengthMs >= 0);
    if (!t) continue;
    EXPECT_EQ(t->lengthMs(), c.lengthMs);
    EXPECT_EQ(t->msAt(c.tick), c.ms);
    EXPECT_EQ(t->tickAt(c.ms), c.tick);
    EXPECT_EQ(t->tickAt(c.lengthMs + 1000), t->endTick()) << "past the end is the end";
  }
}

// Played from a point (the games start their tunes at 1 ms), what follows
// keeps its time under the tempo in force there.
TEST(MidiFrom, WhatFollowsThePointKeepsItsTime) {
  // 480 ticks a quarter: one quarter at 60 bpm (1000 ms), then three at 240 bpm (750 ms).
  const Bytes bytes = midiBytes(480, {Track().tempo(1000000).after(480).tempo(250000).end(),
                                      Track().program(0, 40).noteOn(0, 60).after(1920).noteOff(0, 60).end()});
  const MidiTune tune{"tempo.mid", bytes, *parseMidiTiming(bytes)};
  ASSERT_EQ(tune.timing.lengthMs(), 1750);
  EXPECT_EQ(midiFrom(tune, 0), bytes);
  for (std::int64_t from : {1, 583, 1000, 1250, 1745}) {
    auto rest = parseMidiTiming(midiFrom(tune, from));
    ASSERT_TRUE(rest) << from;
    EXPECT_NEAR(rest->lengthMs(), 1750 - from, 2) << from;
  }
}

}  // namespace
}  // namespace qs::test
