#include <gtest/gtest.h>

#include "sound/midi_file.h"
#include "support/media_bytes.h"

namespace qs::test {
namespace {

MidiTiming timingOf(const Bytes& b) {
  auto t = parseMidiTiming(b);
  EXPECT_TRUE(t.has_value());
  return t.value_or(MidiTiming(1, {}, 0));
}

TEST(MidiTiming, TempoChangesShapeTheLengthAndTheTickMsMapping) {
  // 480 ticks a quarter: two quarters at 120 bpm (1000 ms), then two at 240 bpm (500 ms).
  Track t;
  t.tempo(500000).noteOn(0, 60).after(960).tempo(250000).after(960).noteOff(0, 60).end();
  MidiTiming m = timingOf(midiBytes(480, {t}));
  EXPECT_EQ(m.endTick(), 1920);
  EXPECT_EQ(m.lengthMs(), 1500);
  EXPECT_EQ(m.msAt(960), 1000);
  EXPECT_EQ(m.msAt(1440), 1250);
  EXPECT_EQ(m.tickAt(0), 0);
  EXPECT_EQ(m.tickAt(500), 480);
  EXPECT_EQ(m.tickAt(1000), 960);
  EXPECT_EQ(m.tickAt(1250), 1440);
  EXPECT_EQ(m.tickAt(99999), 1920) << "past the end is the end";
}

TEST(MidiTiming, TheLongestTrackDecidesAndTempoInTheFirstTrackRulesAll) {
  Track conductor;
  conductor.tempo(1000000).end();  // 60 bpm, ends at once
  Track melody;
  melody.noteOn(1, 70).after(960).noteOff(1, 70).end();  // two quarters
  Track shortOne;
  shortOne.noteOn(2, 40).after(100).noteOff(2, 40).end();
  EXPECT_EQ(timingOf(midiBytes(480, {conductor, melody, shortOne})).lengthMs(), 2000);
  // No tempo at all: 120 bpm.
  EXPECT_EQ(timingOf(midiBytes(480, {melody})).lengthMs(), 1000);
  // A tempo change stamped in a later track still applies to every track.
  Track late;
  late.after(480).tempo(250000).end();
  EXPECT_EQ(timingOf(midiBytes(480, {melody, late})).lengthMs(), 500 + 250);
}

TEST(MidiTiming, RunningStatusSysexAndMetaEventsAreWalkedOver) {
  Track t;
  t.raw({0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7});      // GM on
  t.raw({0xFF, 0x03, 0x04, 'T', 'u', 'n', 'e'});            // track name
  t.raw({0x90, 60, 100}).after(250).raw({62, 100});         // running status
  t.after(250).raw({60, 0}).raw({62, 0});                   // note-offs as velocity 0
  t.raw({0xC1, 5}).raw({0xE0, 0x00, 0x40}).after(500).end();
  EXPECT_EQ(timingOf(midiBytes(500, {t})).lengthMs(), 1000);
  // A long delta time in four bytes.
  Track longWait;
  longWait.after(0x0FFFFFFF).end();
  EXPECT_EQ(timingOf(midiBytes(500, {longWait})).endTick(), 0x0FFFFFFF);
}

TEST(MidiTiming, TimecodeDivisionCountsFramesNotQuarters) {
  Track t;
  t.tempo(250000).noteOn(0, 60).after(2500).noteOff(0, 60).end();
  // 25 frames a second, 40 ticks a frame: 1000 ticks a second, whatever the tempo.
  EXPECT_EQ(timingOf(midiBytes(0xE728, {t})).lengthMs(), 2500);
  // 29.97 frames a second.
  Track u;
  u.after(2997).end();
  EXPECT_EQ(timingOf(midiBytes(static_cast<std::uint16_t>(0xE300 | 100), {u})).lengthMs(), 1000);
}

TEST(MidiTiming, MalformedFilesAreRefused) {
  Track good;
  good.noteOn(0, 60).after(10).noteOff(0, 60).end();
  Bytes ok = midiBytes(480, {good});
  ASSERT_TRUE(parseMidiTiming(ok));

  Bytes notMidi = ok;
  notMidi[0] = 'X';
  EXPECT_FALSE(parseMidiTiming(notMidi));
  Bytes cut(ok.begin(), ok.end() - 3);  // the track chunk says more than is there
  EXPECT_FALSE(parseMidiTiming(cut));
  Track orphan;
  orphan.raw({60, 100}).end();  // data byte with no status before it
  EXPECT_FALSE(parseMidiTiming(midiBytes(480, {orphan})));
  Track common;
  common.raw({0xF2, 0, 0}).end();
  EXPECT_FALSE(parseMidiTiming(midiBytes(480, {common})));
  EXPECT_FALSE(parseMidiTiming(midiBytes(480, {})));
  EXPECT_FALSE(parseMidiTiming(midiBytes(0, {good})));
  Bytes tooFewTracks = ok;
  tooFewTracks[11] = 2;  // the header promises two tracks
  EXPECT_FALSE(parseMidiTiming(tooFewTracks));
  Bytes empty;
  EXPECT_FALSE(parseMidiTiming(empty));
}

TEST(MidiTiming, UnknownChunksAreSkipped) {
  Track t;
  t.after(300).end();
  Bytes b = midiBytes(500, {t});
  Bytes extra{'X', 'F', 'I', 'H', 0, 0, 0, 2, 0xAA, 0xBB};
  b.insert(b.begin() + 14, extra.begin(), extra.end());
  EXPECT_EQ(timingOf(b).lengthMs(), 300);
}

TEST(MidiFile, LoadingTellsAMissingFileFromABadOneAndOneTooBusy) {
  TempDir dir;
  writeBytes(dir.file("bad.mid"), {'h', 'e', 'l', 'l', 'o'});
  const Bytes bytes = tuneOfMs(1234);
  writeBytes(dir.file("good.mid"), bytes);
  writeBytes(dir.file("events.mid"), busyTune(kMaxMidiEvents + 1, 1));
  writeBytes(dir.file("tempos.mid"), busyTune(kMaxMidiTempos + 2, kMaxMidiTempos + 1));
  writeBytes(dir.file("busiest.mid"), busyTune(kMaxMidiEvents, kMaxMidiTempos));
  const std::pair<std::string, MidiLoadError> refused[] = {
      {dir.file("no-such.mid"), MidiLoadError::Missing},
      {dir.path(), MidiLoadError::Missing},  // a directory is no file
      {dir.file("bad.mid"), MidiLoadError::Invalid},
      {dir.file("events.mid"), MidiLoadError::TooManyEvents},
      {dir.file("tempos.mid"), MidiLoadError::TooManyTempos}};
  MidiLoadError why = MidiLoadError::None;
  for (const auto& [path, error] : refused) {
    EXPECT_EQ(loadMidiFile(path, why), nullptr) << path;
    EXPECT_EQ(why, error) << path;
  }
  EXPECT_NE(loadMidiFile(dir.file("busiest.mid"), why), nullptr) << "as busy as a tune may be";
  auto tune = loadMidiFile(dir.file("good.mid"), why);
  ASSERT_NE(tune, nullptr);
  EXPECT_EQ(why, MidiLoadError::None);
  EXPECT_EQ(tune->timing.lengthMs(), 1234);
  EXPECT_EQ(tune->bytes, bytes);
}

}  // namespace
}  // namespace qs::test
