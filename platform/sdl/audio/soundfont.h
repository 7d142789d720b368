#pragma once
#include <string>

namespace qs {

// Where the General MIDI soundfont lies: the first file that exists among
// those named by SDL_SOUNDFONTS (separated by ';' or ':') when it is set, else
// the system's default GM soundfont. An empty path comes with the reason.
struct SoundFontChoice {
  std::string path;
  std::string problem;
};

SoundFontChoice findSoundFont(const char* sdlSoundfonts);

// Walks the soundfont's chunk structure (RIFF "sfbk" with its "INFO", "sdta"
// and "pdta" lists, and the preset, instrument and sample tables in "pdta").
// Empty when it is whole, else what is wrong.
std::string soundFontProblem(const std::string& path);

}  // namespace qs
