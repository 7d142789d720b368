// Standard MIDI File (format 1) writer.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "byte_io.h"

namespace qs::mediagen {

void putVlq(Bytes& out, std::uint32_t value);

// Events of one track, kept at absolute ticks and sorted on encoding.
class MidiTrack {
 public:
  void trackName(std::string_view name);
  void tempo(std::uint32_t tick, double bpm);
  void timeSignature(std::uint32_t tick, int numerator, int denominatorLog2);
  void keySignature(std::uint32_t tick, int sharps, bool minor);
  void program(std::uint32_t tick, int channel, int program);
  void controller(std::uint32_t tick, int channel, int controller, int value);
  void note(std::uint32_t start, std::uint32_t length, int channel, int key, int velocity);

  // Track chunk ("MTrk") with the end-of-track event placed at endTick,
  // or after the last event if that comes later.
  Bytes encode(std::uint32_t endTick) const;

 private:
  // At equal ticks note-offs go first, then meta and channel setup, then
  // note-ons, so a repeated key is released before it is struck again.
  enum Order : std::uint8_t { kNoteOff = 0, kSetup = 1, kNoteOn = 2 };
  struct Event {
    std::uint32_t tick;
    Order order;
    Bytes data;
  };
  void meta(std::uint32_t tick, std::uint8_t type, Bytes payload);

  std::vector<Event> events_;
};

// Header chunk plus the given tracks, all ending at endTick.
Bytes encodeSmf(std::span<const MidiTrack> tracks, std::uint16_t ticksPerQuarter, std::uint32_t endTick);

}  // namespace qs::mediagen
