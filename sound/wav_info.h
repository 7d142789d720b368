#pragma once
#include <cstdint>
#include <string>

namespace qs {

// What a WAV effect gives the player: its length in ms, or 0 and why it
// cannot be played.
struct WavCheck {
  std::int64_t ms = 0;
  std::string why;  // empty when the file plays
};

// Reads the header of a PCM WAV file (its format and data chunks, not the
// sound itself). The length counts the whole frames the file really holds:
// a header that claims more data than follows it (a streamed file claims
// 0xFFFFFFFF bytes) does not lengthen the sound. Anything but integer PCM
// plays nothing, and so does a sound too long for the audio output to convert.
WavCheck checkWav(const std::string& path);

// The length alone: 0 when the file is missing or cannot be played.
inline std::int64_t wavLengthMs(const std::string& path) { return checkWav(path).ms; }

}  // namespace qs
