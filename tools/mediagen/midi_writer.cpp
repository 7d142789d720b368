#include "midi_writer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace qs::mediagen {
namespace {

std::uint8_t data7(int value) {
  if (value < 0 || value > 127) throw std::out_of_range("MIDI data byte out of range");
  return static_cast<std::uint8_t>(value);
}

std::uint8_t status(int kind, int channel) {
  if (channel < 0 || channel > 15) throw std::out_of_range("MIDI channel out of range");
  return static_cast<std::uint8_t>(kind | channel);
}

}  // namespace

void putVlq(Bytes& out, std::uint32_t value) {
  if (value > 0x0FFFFFFFu) throw std::out_of_range("MIDI delta time too large");
  std::uint8_t groups[4];
  int count = 0;
  do {
    groups[count++] = static_cast<std::uint8_t>(value & 0x7Fu);
    value >>= 7;
  } while (value != 0);
  for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(groups[i] | (i > 0 ? 0x80u : 0u)));
}

void MidiTrack::meta(std::uint32_t tick, std::uint8_t type, Bytes payload) {
  Bytes data{0xFF, type};
  putVlq(data, static_cast<std::uint32_t>(payload.size()));
  data.insert(data.end(), payload.begin(), payload.end());
  events_.push_back({tick, kSetup, std::move(data)});
}

void MidiTrack::trackName(std::string_view name) { meta(0, 0x03, Bytes(name.begin(), name.end())); }

void MidiTrack::tempo(std::uint32_t tick, double bpm) {
  const auto usPerQuarter = static_cast<std::uint32_t>(std::lround(60'000'000.0 / bpm));
  meta(tick, 0x51,
       {static_cast<std::uint8_t>(usPerQuarter >> 16), static_cast<std::uint8_t>(usPerQuarter >> 8),
        static_cast<std::uint8_t>(usPerQuarter)});
}

void MidiTrack::timeSignature(std::uint32_t tick, int numerator, int denominatorLog2) {
  meta(tick, 0x58, {data7(numerator), data7(denominatorLog2), 24, 8});
}

void MidiTrack::keySignature(std::uint32_t tick, int sharps, bool minor) {
  if (sharps < -7 || sharps > 7) throw std::out_of_range("key signature out of range");
  meta(tick, 0x59,
       {static_cast<std::uint8_t>(static_cast<std::int8_t>(sharps)), minor ? std::uint8_t{1} : std::uint8_t{0}});
}

void MidiTrack::program(std::uint32_t tick, int channel, int program) {
  events_.push_back({tick, kSetup, {status(0xC0, channel), data7(program)}});
}

void MidiTrack::controller(std::uint32_t tick, int channel, int controller, int value) {
  events_.push_back({tick, kSetup, {status(0xB0, channel), data7(controller), data7(value)}});
}

void MidiTrack::note(std::uint32_t start, std::uint32_t length, int channel, int key, int velocity) {
  if (length == 0) throw std::invalid_argument("zero-length note");
  if (velocity < 1) throw std::out_of_range("note-on velocity must be at least 1");
  events_.push_back({start, kNoteOn, {status(0x90, channel), data7(key), data7(velocity)}});
  events_.push_back({start + length, kNoteOff, {status(0x80, channel), data7(key), 64}});
}

Bytes MidiTrack::encode(std::uint32_t endTick) const {
  std::vector<const Event*> order;
  order.reserve(events_.size());
  for (const Event& e : events_) order.push_back(&e);
  std::stable_sort(order.begin(), order.end(), [](const Event* a, const Event* b) {
    return a->tick != b->tick ? a->tick < b->tick : a->order < b->order;
  });

  Bytes body;
  std::uint32_t now = 0;
  for (const Event* e : order) {
    putVlq(body, e->tick - now);
    now = e->tick;
    body.insert(body.end(), e->data.begin(), e->data.end());
  }
  putVlq(body, std::max(endTick, now) - now);
  body.insert(body.end(), {0xFF, 0x2F, 0x00});

  Bytes chunk;
  putTag(chunk, "MTrk");
  putU32be(chunk, static_cast<std::uint32_t>(body.size()));
  chunk.insert(chunk.end(), body.begin(), body.end());
  return chunk;
}

Bytes encodeSmf(std::span<const MidiTrack> tracks, std::uint16_t ticksPerQuarter, std::uint32_t endTick) {
  Bytes out;
  putTag(out, "MThd");
  putU32be(out, 6);
  putU16be(out, 1);
  putU16be(out, static_cast<std::uint32_t>(tracks.size()));
  putU16be(out, ticksPerQuarter);
  for (const MidiTrack& track : tracks) {
    const Bytes chunk = track.encode(endTick);
    out.insert(out.end(), chunk.begin(), chunk.end());
  }
  return out;
}

}  // namespace qs::mediagen
