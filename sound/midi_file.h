#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qs {

// The timing of a standard MIDI file: its length and the mapping between
// ticks and milliseconds through its tempo changes.
class MidiTiming {
 public:
  struct Tempo {
    std::int64_t tick = 0;
    std::uint32_t usPerQuarter = 500000;
  };

  // `division` is the header's field: ticks per quarter note, or (top bit set)
  // frames per second and ticks per frame.
  MidiTiming(std::uint16_t division, std::vector<Tempo> tempos, std::int64_t endTick);

  std::int64_t endTick() const { return endTick_; }
  std::int64_t lengthMs() const { return lengthMs_; }
  std::int64_t msAt(std::int64_t tick) const;
  // The last tick that starts at or before `ms`.
  std::int64_t tickAt(std::int64_t ms) const;

 private:
  double usAt(std::int64_t tick) const;
  double usPerTick(const Tempo& t) const;

  std::uint16_t division_;
  std::vector<Tempo> tempos_;     // sorted by tick, the first at tick 0
  std::vector<double> usBefore_;  // for each tempo, the microseconds before its tick
  std::int64_t endTick_;
  std::int64_t lengthMs_;
};

// A MIDI file read whole: its bytes (for a synthesizer) and its timing.
struct MidiTune {
  std::string path;
  std::vector<std::uint8_t> bytes;
  MidiTiming timing;
};

enum class MidiLoadError { None, Missing, Invalid, TooLarge, TooManyEvents, TooManyTempos };

// The largest tune read: the game's own are a few kilobytes.
inline constexpr std::uintmax_t kMaxMidiBytes = 4u << 20;
// The most events (of every kind, in all tracks together) and tempo changes a
// tune may hold: the game's own hold about 3,100 events and one tempo.
inline constexpr std::size_t kMaxMidiEvents = 200000;
inline constexpr std::size_t kMaxMidiTempos = 10000;

// Reads the header and every track; nothing when the bytes are not a
// well-formed standard MIDI file or hold more than the caps above, and then
// `why` (if given) says which.
std::optional<MidiTiming> parseMidiTiming(const std::vector<std::uint8_t>& bytes, MidiLoadError* why = nullptr);

// Reads and parses a file; `error` says why when nothing comes back. A file
// without a MIDI header, or larger than kMaxMidiBytes, is refused before it is
// read; one with more events or tempo changes than the caps, once read.
std::shared_ptr<const MidiTune> loadMidiFile(const std::string& path, MidiLoadError& error);

// Why a tune cannot be played, in words.
const char* midiLoadWhy(MidiLoadError error);

// Notes that began less than this before the point a tune starts from are
// struck at that point: a tune started 1 ms in still opens on its downbeat.
inline constexpr std::int64_t kLateStrikeMs = 10;

// The tune as a standard MIDI file that starts at `fromMs`: what was set
// before that point (programs, controllers, pitch bend, tempo, system
// exclusive) comes first, at tick 0; notes that began less than kLateStrikeMs
// before it are struck at tick 0; notes begun earlier are left out, so a held
// note is not struck again; everything later keeps its place after the point.
// From 0, or should the bytes not read as a file, the tune's own bytes.
std::vector<std::uint8_t> midiFrom(const MidiTune& tune, std::int64_t fromMs);

}  // namespace qs
