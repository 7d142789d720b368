#pragma once
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
  std::int64_t lengthMs() const { return msAt(endTick_); }
  std::int64_t msAt(std::int64_t tick) const;
  // The last tick that starts at or before `ms`.
  std::int64_t tickAt(std::int64_t ms) const;

 private:
  double usAt(std::int64_t tick) const;
  double usPerTick(const Tempo& t) const;

  std::uint16_t division_;
  std::vector<Tempo> tempos_;  // sorted by tick, the first at tick 0
  std::int64_t endTick_;
};

// A MIDI file read whole: its bytes (for a synthesizer) and its timing.
struct MidiTune {
  std::string path;
  std::vector<std::uint8_t> bytes;
  MidiTiming timing;
};

// Reads the header and every track; nothing when the bytes are not a
// well-formed standard MIDI file.
std::optional<MidiTiming> parseMidiTiming(const std::vector<std::uint8_t>& bytes);

enum class MidiLoadError { None, Missing, Invalid, TooLarge };

// The largest tune read: the game's own are a few kilobytes.
inline constexpr std::uintmax_t kMaxMidiBytes = 4u << 20;

// Reads and parses a file; `error` says why when nothing comes back. A file
// without a MIDI header, or larger than kMaxMidiBytes, is refused before it is read.
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
