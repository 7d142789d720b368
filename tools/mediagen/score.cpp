#include "score.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "midi_writer.h"

namespace qs::mediagen {
namespace {

std::vector<std::string_view> splitWords(std::string_view text) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    const std::size_t begin = i;
    while (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    if (i > begin) words.push_back(text.substr(begin, i - begin));
  }
  return words;
}

[[noreturn]] void fail(std::string_view what, std::string_view where) {
  throw std::invalid_argument(std::string(what) + ": '" + std::string(where) + "'");
}

int letterPitchClass(char c) {
  switch (std::tolower(static_cast<unsigned char>(c))) {
    case 'c': return 0;
    case 'd': return 2;
    case 'e': return 4;
    case 'f': return 5;
    case 'g': return 7;
    case 'a': return 9;
    case 'b': return 11;
    default: return -1;
  }
}

int wrap12(int v) { return ((v % 12) + 12) % 12; }

// The lowest key at or above lowKey with the given pitch class.
int keyAtOrAbove(int lowKey, int pitchClass) { return lowKey + wrap12(pitchClass - lowKey); }

std::uint32_t durationTicks(char c) {
  switch (c) {
    case 'w': return 4 * kTicksPerQuarter;
    case 'h': return 2 * kTicksPerQuarter;
    case 'q': return kTicksPerQuarter;
    case 'e': return kTicksPerQuarter / 2;
    case 's': return kTicksPerQuarter / 4;
    default: return 0;
  }
}

}  // namespace

double Song::seconds() const { return static_cast<double>(length) / kTicksPerQuarter * 60.0 / bpm; }

Bytes encodeSong(const Song& song) {
  std::vector<MidiTrack> tracks(song.parts.size() + 1);
  MidiTrack& conductor = tracks.front();
  conductor.trackName(song.title);
  conductor.timeSignature(0, song.beatsPerBar, 2);
  conductor.keySignature(0, song.keySharps, song.minor);
  conductor.tempo(0, song.bpm);

  for (std::size_t i = 0; i < song.parts.size(); ++i) {
    const Part& part = song.parts[i];
    MidiTrack& track = tracks[i + 1];
    track.trackName(part.name);
    if (part.channel != kDrumChannel) track.program(0, part.channel, part.program);
    track.controller(0, part.channel, 7, part.volume);
    track.controller(0, part.channel, 10, part.pan);
    track.controller(0, part.channel, 91, 40);  // a little reverb
    for (const Note& n : part.notes) {
      if (n.start + n.length > song.length) throw std::logic_error(part.name + ": note runs past the loop point");
      track.note(n.start, n.length, part.channel, n.key, n.velocity);
    }
  }
  return encodeSmf(tracks, static_cast<std::uint16_t>(kTicksPerQuarter), song.length);
}

Phrase parsePhrase(std::string_view text, std::uint32_t barTicks) {
  Phrase out;
  std::uint32_t pos = 0;
  for (std::string_view token : splitWords(text)) {
    if (token == "|") {
      if (pos % barTicks != 0) fail("bar line off the bar boundary", text.substr(0, 60));
      continue;
    }
    std::size_t i = 0;
    int key = -1;
    bool tie = false;
    if (token[0] == 'r') {
      i = 1;
    } else if (token[0] == '_') {
      tie = true;
      i = 1;
    } else {
      int pc = letterPitchClass(token[0]);
      if (pc < 0) fail("bad note", token);
      i = 1;
      if (i < token.size() && token[i] == '#') {
        ++pc;
        ++i;
      } else if (i + 1 < token.size() && token[i] == 'b' && std::isdigit(static_cast<unsigned char>(token[i + 1]))) {
        --pc;
        ++i;
      }
      if (i >= token.size() || !std::isdigit(static_cast<unsigned char>(token[i]))) fail("missing octave", token);
      key = 12 * (token[i] - '0' + 1) + pc;
      ++i;
    }
    if (i >= token.size()) fail("missing duration", token);
    std::uint32_t ticks = durationTicks(token[i]);
    if (ticks == 0) fail("bad duration", token);
    ++i;
    if (i < token.size() && token[i] == '.') {
      ticks += ticks / 2;
      ++i;
    }
    if (i != token.size()) fail("trailing characters", token);

    if (tie) {
      if (out.notes.empty() || out.notes.back().start + out.notes.back().length != pos) {
        fail("tie without a note right before it", token);
      }
      out.notes.back().length += ticks;
    } else if (key >= 0) {
      out.notes.push_back({pos, ticks, key, 0});
    }
    pos += ticks;
  }
  out.length = pos;
  return out;
}

Chord parseChord(std::string_view symbol) {
  if (symbol.empty()) fail("empty chord", symbol);
  int root = letterPitchClass(symbol[0]);
  if (root < 0 || !std::isupper(static_cast<unsigned char>(symbol[0]))) fail("bad chord root", symbol);
  std::size_t i = 1;
  if (i < symbol.size() && symbol[i] == '#') {
    ++root;
    ++i;
  } else if (i < symbol.size() && symbol[i] == 'b') {
    --root;
    ++i;
  }
  const std::string_view quality = symbol.substr(i);
  std::vector<int> intervals;
  if (quality.empty()) intervals = {0, 4, 7};
  else if (quality == "m") intervals = {0, 3, 7};
  else if (quality == "7") intervals = {0, 4, 7, 10};
  else if (quality == "m7") intervals = {0, 3, 7, 10};
  else if (quality == "maj7") intervals = {0, 4, 7, 11};
  else if (quality == "dim") intervals = {0, 3, 6};
  else if (quality == "sus4") intervals = {0, 5, 7};
  else fail("unknown chord quality", symbol);
  return {wrap12(root), std::move(intervals)};
}

std::vector<ChordSpan> parseProgression(std::string_view text, std::uint32_t barTicks) {
  std::vector<ChordSpan> spans;
  std::uint32_t barStart = 0;
  std::size_t from = 0;
  while (from <= text.size()) {
    std::size_t barEnd = text.find('|', from);
    if (barEnd == std::string_view::npos) barEnd = text.size();
    const auto chords = splitWords(text.substr(from, barEnd - from));
    if (chords.empty()) fail("empty bar in progression", text);
    if (barTicks % chords.size() != 0) fail("chords do not divide the bar", text);
    const auto each = static_cast<std::uint32_t>(barTicks / chords.size());
    for (std::size_t c = 0; c < chords.size(); ++c) {
      spans.push_back({barStart + static_cast<std::uint32_t>(c) * each, each, parseChord(chords[c])});
    }
    barStart += barTicks;
    from = barEnd + 1;
  }
  return spans;
}

void Arranger::section(std::string_view chords) {
  start_ += length_;
  chords_ = parseProgression(chords, song_.barTicks());
  for (ChordSpan& span : chords_) span.start += start_;
  length_ = chords_.back().start + chords_.back().length - start_;
}

Part& Arranger::part(std::size_t index) {
  if (index >= song_.parts.size()) throw std::out_of_range("no such part");
  return song_.parts[index];
}

const Chord& Arranger::chordAt(std::uint32_t tick) const {
  for (const ChordSpan& span : chords_) {
    if (tick >= span.start && tick < span.start + span.length) return span.chord;
  }
  throw std::logic_error("no chord at this position");
}

int Arranger::accent(std::uint32_t step, int velocity) const {
  const auto barSteps = static_cast<std::uint32_t>(song_.beatsPerBar * 4);
  if (step % barSteps == 0) velocity += 8;
  else if (step % 4 == 0) velocity += 3;
  return std::clamp(velocity, 1, 127);
}

void Arranger::add(Part& p, std::uint32_t start, std::uint32_t steps, int key, int velocity) {
  constexpr std::uint32_t kGap = 20;  // keeps repeated notes detached
  p.notes.push_back({start, steps * kStep - kGap, key, velocity});
}

std::vector<Arranger::Hit> Arranger::expand(std::string_view pattern, std::string_view symbols) const {
  const std::uint32_t total = length_ / kStep;
  const auto period = static_cast<std::uint32_t>(pattern.size());
  if (period == 0 || total % period != 0) fail("pattern does not fit the section", pattern);
  std::vector<Hit> hits;
  for (std::uint32_t s = 0; s < total; ++s) {
    const char c = pattern[s % period];
    if (c == '.' || c == '-') continue;
    if (symbols.find(c) == std::string_view::npos) fail("unexpected pattern symbol", pattern);
    std::uint32_t held = 1;
    while (s + held < total && pattern[(s + held) % period] == '-') ++held;
    hits.push_back({s, held, c});
  }
  return hits;
}

void Arranger::melody(std::size_t index, std::string_view notes, int velocity) {
  const Phrase phrase = parsePhrase(notes, song_.barTicks());
  if (phrase.length != length_) fail("melody does not fill its section", notes.substr(0, 60));
  Part& p = part(index);
  for (const Note& n : phrase.notes) {
    const std::uint32_t gap = std::min<std::uint32_t>(n.length / 8, 40);
    p.notes.push_back({start_ + n.start, n.length - gap, n.key, accent(n.start / kStep, velocity)});
  }
}

void Arranger::bass(std::size_t index, std::string_view pattern, int lowKey, int velocity) {
  Part& p = part(index);
  for (const Hit& h : expand(pattern, "R35O")) {
    const std::uint32_t tick = start_ + h.step * kStep;
    const Chord& chord = chordAt(tick);
    const int root = keyAtOrAbove(lowKey, chord.root);
    int key = root;
    if (h.symbol == '3') key = root + chord.intervals[1];
    if (h.symbol == '5') key = root + chord.intervals[2];
    if (h.symbol == 'O') key = root + 12;
    add(p, tick, h.steps, key, accent(h.step, velocity));
  }
}

void Arranger::comp(std::size_t index, std::string_view pattern, Voicing voicing, int lowKey, int velocity) {
  Part& p = part(index);
  for (const Hit& h : expand(pattern, "x")) {
    const std::uint32_t tick = start_ + h.step * kStep;
    const Chord& chord = chordAt(tick);
    std::vector<int> keys;
    if (voicing == Voicing::Power) {
      const int root = keyAtOrAbove(lowKey, chord.root);
      keys = {root, root + chord.intervals[2], root + 12};
    } else {
      for (int iv : chord.intervals) keys.push_back(keyAtOrAbove(lowKey, chord.root + iv));
    }
    for (int key : keys) add(p, tick, h.steps, key, accent(h.step, velocity));
  }
}

void Arranger::arpeggio(std::size_t index, std::string_view pattern, int lowKey, int velocity) {
  Part& p = part(index);
  for (const Hit& h : expand(pattern, "0123456789")) {
    const std::uint32_t tick = start_ + h.step * kStep;
    const Chord& chord = chordAt(tick);
    const int n = static_cast<int>(chord.intervals.size());
    const int i = h.symbol - '0';
    const int key = keyAtOrAbove(lowKey, chord.root) + chord.intervals[static_cast<std::size_t>(i % n)] + 12 * (i / n);
    add(p, tick, h.steps, key, accent(h.step, velocity));
  }
}

void Arranger::drums(std::size_t index, const std::vector<DrumLine>& groove, const std::vector<DrumLine>& fill) {
  Part& p = part(index);
  const auto barSteps = static_cast<std::uint32_t>(song_.beatsPerBar * 4);
  const std::uint32_t bars = length_ / song_.barTicks();
  for (std::uint32_t bar = 0; bar < bars; ++bar) {
    const auto& lines = (bar + 1 == bars && !fill.empty()) ? fill : groove;
    for (const DrumLine& line : lines) {
      const auto period = static_cast<std::uint32_t>(line.pattern.size());
      if (period == 0 || period % barSteps != 0) fail("drum pattern is not whole bars", line.pattern);
      for (std::uint32_t s = 0; s < barSteps; ++s) {
        const char c = line.pattern[(bar * barSteps + s) % period];
        if (c == '.') continue;
        if (c != 'x' && c != 'o') fail("unexpected drum symbol", line.pattern);
        const std::uint32_t tick = start_ + (bar * barSteps + s) * kStep;
        p.notes.push_back({tick, kStep / 2, line.key, c == 'x' ? 112 : 72});
      }
    }
  }
}

void Arranger::hit(std::size_t index, int key, int velocity) {
  part(index).notes.push_back({start_, kStep / 2, key, velocity});
}

void Arranger::finish() { song_.length = start_ + length_; }

}  // namespace qs::mediagen
