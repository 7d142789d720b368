#pragma once
// Small MIDI and WAV files for the sound tests, written with the media
// generator's own writers; a Track adds the raw events (running status, bad
// bytes) the generator never writes.
#include <cmath>
#include <initializer_list>
#include <numbers>
#include <utility>
#include <vector>

#include "midi_writer.h"
#include "support/files.h"
#include "wav_writer.h"

namespace qs::test {

// One track's events; `after(ticks)` sets the delta time of the next event.
class Track {
 public:
  Track& after(std::uint32_t ticks) { return delta_ += ticks, *this; }
  Track& raw(std::initializer_list<std::uint8_t> bytes) {
    mediagen::putVlq(data, std::exchange(delta_, 0));
    data.insert(data.end(), bytes);
    return *this;
  }
  Track& program(int ch, int p) { return raw({u8(0xC0 | ch), u8(p)}); }
  Track& noteOn(int ch, int key, int vel = 100) { return raw({u8(0x90 | ch), u8(key), u8(vel)}); }
  Track& noteOff(int ch, int key) { return raw({u8(0x80 | ch), u8(key), 0}); }
  Track& tempo(std::uint32_t us) { return raw({0xFF, 0x51, 0x03, u8(us >> 16), u8(us >> 8), u8(us)}); }
  Track& end() { return raw({0xFF, 0x2F, 0x00}); }
  Bytes data;

 private:
  static std::uint8_t u8(std::uint32_t v) { return static_cast<std::uint8_t>(v); }
  std::uint32_t delta_ = 0;
};

inline Bytes midiBytes(std::uint16_t division, const std::vector<Track>& tracks) {
  Bytes b;
  mediagen::putTag(b, "MThd");
  for (std::uint32_t v : {6u, 0x10000u | static_cast<std::uint32_t>(tracks.size())}) mediagen::putU32be(b, v);
  mediagen::putU16be(b, division);
  for (const Track& t : tracks) {
    mediagen::putTag(b, "MTrk");
    mediagen::putU32be(b, static_cast<std::uint32_t>(t.data.size()));
    b.insert(b.end(), t.data.begin(), t.data.end());
  }
  return b;
}

// At 500 ticks a quarter and the default tempo a tick is one millisecond: a
// piano chord held for `ms`.
inline Bytes tuneOfMs(std::uint32_t ms) {
  Track t;
  t.program(0, 0).noteOn(0, 60).noteOn(0, 64).noteOn(0, 67).after(ms).noteOff(0, 60).noteOff(0, 64).noteOff(0, 67);
  return midiBytes(500, {t.end()});
}

// `events` events in one track within a millisecond: `tempos` tempo changes
// a tick apart, program changes, the end of the track.
inline Bytes busyTune(std::size_t events, std::size_t tempos) {
  Track t;
  for (std::size_t i = 0; i < tempos; ++i) t.after(1).tempo(1);
  for (std::size_t i = tempos + 1; i < events; ++i) t.program(0, 0);
  return midiBytes(500, {t.end()});
}

// A mono 16-bit PCM WAV of a sine tone.
inline Bytes wavBytes(std::uint32_t rate, std::uint32_t frames, double hz = 440, double amplitude = 0.5) {
  std::vector<float> s(frames);
  for (std::uint32_t i = 0; i < frames; ++i)
    s[i] = static_cast<float>(amplitude * std::sin(2 * std::numbers::pi * hz * i / rate));
  return mediagen::encodeWav(s, static_cast<int>(rate));
}

// A WAV file that lasts `ms` milliseconds.
inline Bytes wavOfMs(std::uint32_t ms) { return wavBytes(8000, 8 * ms); }

}  // namespace qs::test
