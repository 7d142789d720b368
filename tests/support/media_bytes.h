#pragma once
// Small MIDI and WAV files made byte by byte, so the sound tests need no
// media files from elsewhere.
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>
#include <vector>

#include "support/files.h"

namespace qs::test {

inline void putBe(Bytes& b, std::uint32_t v, int n) {
  for (int i = n - 1; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline void putLe(Bytes& b, std::uint32_t v, int n) {
  for (int i = 0; i < n; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

inline void putVarlen(Bytes& b, std::uint32_t v) {
  std::uint8_t groups[4];
  int n = 0;
  do {
    groups[n++] = static_cast<std::uint8_t>(v & 0x7F);
    v >>= 7;
  } while (v && n < 4);
  while (n-- > 0) b.push_back(static_cast<std::uint8_t>(groups[n] | (n ? 0x80 : 0)));
}

// One track's events; `after(ticks)` sets the delta time of the next event.
class Track {
 public:
  Track& after(std::uint32_t ticks) {
    delta_ += ticks;
    return *this;
  }
  // Any event bytes, running status included.
  Track& raw(std::initializer_list<std::uint8_t> bytes) {
    putVarlen(data_, delta_);
    delta_ = 0;
    data_.insert(data_.end(), bytes);
    return *this;
  }
  Track& program(int ch, int p) { return raw({static_cast<std::uint8_t>(0xC0 | ch), static_cast<std::uint8_t>(p)}); }
  Track& noteOn(int ch, int key, int vel = 100) {
    return raw({static_cast<std::uint8_t>(0x90 | ch), static_cast<std::uint8_t>(key), static_cast<std::uint8_t>(vel)});
  }
  Track& noteOff(int ch, int key) {
    return raw({static_cast<std::uint8_t>(0x80 | ch), static_cast<std::uint8_t>(key), 0});
  }
  Track& tempo(std::uint32_t usPerQuarter) {
    return raw({0xFF, 0x51, 0x03, static_cast<std::uint8_t>(usPerQuarter >> 16),
                static_cast<std::uint8_t>(usPerQuarter >> 8), static_cast<std::uint8_t>(usPerQuarter)});
  }
  Track& end() { return raw({0xFF, 0x2F, 0x00}); }
  const Bytes& bytes() const { return data_; }

 private:
  Bytes data_;
  std::uint32_t delta_ = 0;
};

inline Bytes midiBytes(std::uint16_t division, const std::vector<Track>& tracks, std::uint16_t format = 1) {
  Bytes b{'M', 'T', 'h', 'd'};
  putBe(b, 6, 4);
  putBe(b, format, 2);
  putBe(b, static_cast<std::uint32_t>(tracks.size()), 2);
  putBe(b, division, 2);
  for (const Track& t : tracks) {
    b.insert(b.end(), {'M', 'T', 'r', 'k'});
    putBe(b, static_cast<std::uint32_t>(t.bytes().size()), 4);
    b.insert(b.end(), t.bytes().begin(), t.bytes().end());
  }
  return b;
}

// At 500 ticks a quarter and the default tempo a tick is one millisecond: a
// piano chord held for `ms`.
inline Bytes tuneOfMs(std::uint32_t ms) {
  Track t;
  t.program(0, 0).noteOn(0, 60).noteOn(0, 64).noteOn(0, 67);
  t.after(ms).noteOff(0, 60).noteOff(0, 64).noteOff(0, 67).end();
  return midiBytes(500, {t});
}

// A tune of `events` events in one track, all within a millisecond: `tempos`
// tempo changes a tick apart, program changes, the end of the track.
inline Bytes busyTune(std::size_t events, std::size_t tempos) {
  Track t;
  for (std::size_t i = 0; i < tempos; ++i) t.after(1).tempo(1);
  for (std::size_t i = tempos + 1; i < events; ++i) t.program(0, 0);
  t.end();
  return midiBytes(500, {t});
}

// A mono 16-bit PCM WAV of a sine tone.
inline Bytes wavBytes(std::uint32_t rate, std::uint32_t frames, double hz = 440, double amplitude = 0.5) {
  Bytes b{'R', 'I', 'F', 'F'};
  putLe(b, 36 + frames * 2, 4);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  putLe(b, 16, 4);
  putLe(b, 1, 2);  // PCM
  putLe(b, 1, 2);  // mono
  putLe(b, rate, 4);
  putLe(b, rate * 2, 4);
  putLe(b, 2, 2);
  putLe(b, 16, 2);
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  putLe(b, frames * 2, 4);
  for (std::uint32_t i = 0; i < frames; ++i) {
    double s = amplitude * std::sin(2 * std::numbers::pi * hz * i / rate);
    putLe(b, static_cast<std::uint16_t>(static_cast<std::int16_t>(s * 32767)), 2);
  }
  return b;
}

// A WAV file that lasts `ms` milliseconds.
inline Bytes wavOfMs(std::uint32_t ms) { return wavBytes(8000, 8 * ms); }

}  // namespace qs::test
