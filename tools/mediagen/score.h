// Score model and the helpers the tunes are written with: a compact melody
// notation, chord symbols, and pattern-driven accompaniment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "byte_io.h"

namespace qs::mediagen {

inline constexpr std::uint32_t kTicksPerQuarter = 480;
inline constexpr std::uint32_t kStep = kTicksPerQuarter / 4;  // one sixteenth
inline constexpr int kDrumChannel = 9;

struct Note {
  std::uint32_t start;
  std::uint32_t length;
  int key;
  int velocity;
};

struct Part {
  std::string name;
  int channel;
  int program;  // General MIDI program, 0-based; unused on the drum channel
  int volume;
  int pan;
  std::vector<Note> notes;
};

struct Song {
  std::string title;
  double bpm;
  int beatsPerBar;
  int keySharps;  // key signature: sharps > 0, flats < 0
  bool minor;
  std::vector<Part> parts;
  std::uint32_t length = 0;  // ticks; the loop point

  std::uint32_t barTicks() const { return static_cast<std::uint32_t>(beatsPerBar) * kTicksPerQuarter; }
  double seconds() const;
};

// One conductor track (name, time and key signature, tempo) followed by a
// track per part. Every track ends exactly at song.length; notes running
// past it are rejected.
Bytes encodeSong(const Song& song);

// Melody notation, tokens separated by spaces:
//   c5q e5e. f#4h bb3s   pitch, duration (w h q e s = whole .. sixteenth),
//                        optional dot; C4 is key 60
//   rq                   rest
//   _e                   lengthens the previous note
//   |                    bar line, must fall on a bar boundary
// Notes come back with velocity 0 and their full written length.
struct Phrase {
  std::vector<Note> notes;
  std::uint32_t length = 0;
};
Phrase parsePhrase(std::string_view text, std::uint32_t barTicks);

struct Chord {
  int root;                    // pitch class, C = 0
  std::vector<int> intervals;  // semitones above the root, starting with 0
};
// "C", "F#m", "Bb", "G7", "Am7", "Cmaj7", "Bdim", "Dsus4".
Chord parseChord(std::string_view symbol);

struct ChordSpan {
  std::uint32_t start;
  std::uint32_t length;
  Chord chord;
};
// Bars separated by '|'; several chords in one bar share it evenly.
std::vector<ChordSpan> parseProgression(std::string_view text, std::uint32_t barTicks);

enum class Voicing { Close, Power };

struct DrumLine {
  int key;
  std::string_view pattern;  // one char per sixteenth: x loud, o soft, . rest
};

// Writes a song section by section. Each section's length is set by its
// chord progression; melodies must fill it exactly. Pattern strings have
// one character per sixteenth and repeat over the section.
class Arranger {
 public:
  explicit Arranger(Song& song) : song_(song) {}

  void section(std::string_view chords);
  void melody(std::size_t part, std::string_view notes, int velocity);
  // R root, 3 third, 5 fifth, O octave, - hold, . rest.
  void bass(std::size_t part, std::string_view pattern, int lowKey, int velocity);
  // x chord, - hold, . rest.
  void comp(std::size_t part, std::string_view pattern, Voicing voicing, int lowKey, int velocity);
  // Digits pick chord tones counted upwards from the root, - hold, . rest.
  void arpeggio(std::size_t part, std::string_view pattern, int lowKey, int velocity);
  // fill, when given, replaces the groove in the section's last bar.
  void drums(std::size_t part, const std::vector<DrumLine>& groove, const std::vector<DrumLine>& fill = {});
  void hit(std::size_t part, int key, int velocity);  // at the section start
  void finish();                                      // sets the song length

 private:
  struct Hit {
    std::uint32_t step;
    std::uint32_t steps;  // held length in sixteenths
    char symbol;
  };
  std::vector<Hit> expand(std::string_view pattern, std::string_view symbols) const;
  const Chord& chordAt(std::uint32_t tick) const;
  int accent(std::uint32_t step, int velocity) const;
  Part& part(std::size_t index);
  void add(Part& part, std::uint32_t start, std::uint32_t steps, int key, int velocity);

  Song& song_;
  std::uint32_t start_ = 0;
  std::uint32_t length_ = 0;
  std::vector<ChordSpan> chords_;
};

}  // namespace qs::mediagen
