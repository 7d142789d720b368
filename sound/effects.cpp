#include "effects.h"

#include <unistd.h>

#include "../shell/runtime.h"
#include "audio_device.h"
#include "wav_info.h"

namespace qs {

std::string effectName(const std::string& file) {
  std::string name = file;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  auto slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  return name;
}

void SoundEffects::play(const std::string& file, SoundMode mode) {
  // Some scenes pass names with a trailing blank; the file is looked up without it.
  std::string path = file;
  while (!path.empty() && path.back() == ' ') path.pop_back();
  std::int64_t ms = wavLengthMs(path);
  bool wait = mode == SoundMode::Wait;
  rt_.trace().line("wav " + effectName(file) + (wait ? " wait " : " async ") + std::to_string(ms));
  AudioDevice& audio = rt_.platform().audio();
  if (ms == 0) rt_.mediaUnusable(path, access(path.c_str(), F_OK) == 0 ? "it is not a PCM WAV file" : "the file is missing");
  if (ms > 0) audio.playEffect(path);
  else if (!wait) audio.playDefaultSound();
  if (wait) rt_.hold(ms);
}

}  // namespace qs
