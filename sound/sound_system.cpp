#include "sound/sound_system.h"

#include "runtime/run_clock.h"
#include "runtime/trace.h"
#include "sound/audio_device.h"
#include "sound/mci_sequencer.h"
#include "sound/wav_info.h"

namespace qs {

SoundSystem::SoundSystem(RunClock& clock, AudioDevice& audio, std::string programName)
    : clock_(clock), audio_(audio), report_(std::move(programName)) {
  // The music device answers alike, live or headless: it keeps its state on the run's clock.
  device_ =
      std::make_unique<MciSequencer>([this] { return clock_.now(); }, audio_,
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
  WavCheck wav = checkWav(path);
  bool wait = mode == SoundMode::Wait;
  clock_.trace().line("wav " + effectName(file) + (wait ? " wait " : " async ") + std::to_string(wav.ms));
  if (wav.ms == 0) mediaUnusable(path, wav.why);
  if (wav.ms > 0) audio_.playEffect(path);
  else if (!wait) audio_.playDefaultSound();
  if (wait) clock_.hold(wav.ms);
}

std::string SoundSystem::mciSendString(const std::string& command) {
  Trace& trace = clock_.trace();
  trace.line("mci " + quoted(trace.hideDir(command)));
  return device_->send(command);
}

std::int32_t SoundSystem::mciError() const { return device_->lastError(); }

std::optional<std::int64_t> SoundSystem::musicMsToEnd() const { return device_->msToEnd(); }

std::optional<std::int64_t> SoundSystem::musicLengthMs() const { return device_->tuneMs(); }

}  // namespace qs
