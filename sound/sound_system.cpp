#include "sound/sound_system.h"

#include <unistd.h>

#include <cstdio>

#include "runtime/run_clock.h"
#include "runtime/trace.h"
#include "sound/audio_device.h"
#include "sound/mci_sequencer.h"
#include "sound/wav_info.h"

namespace qs {

SoundSystem::SoundSystem(RunClock& clock, AudioDevice& audio, std::string programName)
    : clock_(clock), audio_(audio), programName_(std::move(programName)) {
  // The music device answers alike, live or headless: it keeps its state on the run's clock.
  device_ = std::make_unique<MciSequencer>([this] { return clock_.now(); }, audio_,
                                           [this](const std::string& path, const char* why) { mediaUnusable(path, why); });
}

SoundSystem::~SoundSystem() = default;

std::string effectName(const std::string& file) {
  std::string name = file;
  while (!name.empty() && name.back() == ' ') name.pop_back();
  auto slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  return name;
}

void SoundSystem::sndPlaySound(const std::string& file, SoundMode mode) {
  // Some scenes pass names with a trailing blank; the file is looked up without it.
  std::string path = file;
  while (!path.empty() && path.back() == ' ') path.pop_back();
  std::int64_t ms = wavLengthMs(path);
  bool wait = mode == SoundMode::Wait;
  clock_.trace().line("wav " + effectName(file) + (wait ? " wait " : " async ") + std::to_string(ms));
  if (ms == 0) mediaUnusable(path, access(path.c_str(), F_OK) == 0 ? "it is not a PCM WAV file" : "the file is missing");
  if (ms > 0) audio_.playEffect(path);
  else if (!wait) audio_.playDefaultSound();
  if (wait) clock_.hold(ms);
}

std::string SoundSystem::mciSendString(const std::string& command) {
  Trace& trace = clock_.trace();
  trace.line("mci " + quoted(trace.hideDir(command)));
  return device_->send(command);
}

std::int32_t SoundSystem::mciError() const { return device_->lastError(); }

std::optional<std::int64_t> SoundSystem::musicMsToEnd() const { return device_->msToEnd(); }

void SoundSystem::mediaUnusable(const std::string& path, const char* why) {
  if (!unusable_.insert(path).second) return;
  std::fprintf(stderr, "%s: cannot play %s: %s; the game goes on without it\n", programName_.c_str(), path.c_str(),
               why);
}

}  // namespace qs
