#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "host/media_report.h"

namespace qs {

class AudioDevice;
class MediaControl;
class RunClock;

// Waiting (mode 2) or background (mode 1) sound effects.
enum class SoundMode { Background = 1, Wait = 2 };

// The sound of a program, on the run's clock: WAV effects and the one
// media-control music device, played on the machine's audio output.
class SoundSystem {
 public:
  SoundSystem(RunClock& clock, AudioDevice& audio, std::string programName);
  ~SoundSystem();
  SoundSystem(const SoundSystem&) = delete;
  SoundSystem& operator=(const SoundSystem&) = delete;

  RunClock& clock() { return clock_; }

  // Plays a WAV file (a full path). A waiting effect holds the program still
  // for its length; a background one returns at once and cuts off the effect
  // still sounding.
  void sndPlaySound(const std::string& file, SoundMode mode);
  // Sends a media-control command string and returns its answer.
  std::string mciSendString(const std::string& command);
  // The return code of the last command: 0 when it was carried out.
  std::int32_t mciError() const;
  // While the music plays, the ms left until the tune's end; sends nothing.
  std::optional<std::int64_t> musicMsToEnd() const;
  // The length of the open tune, if any; sends nothing either.
  std::optional<std::int64_t> musicLengthMs() const;

  // A media file that cannot be used: one line on standard error, once per
  // file; the game goes on without it.
  void mediaUnusable(const std::string& path, const std::string& why) { report_.cannotPlay(path, why); }

 private:
  RunClock& clock_;
  AudioDevice& audio_;
  MediaReport report_;
  std::unique_ptr<MediaControl> device_;
};

// The name as the trace shows it: no directory, no leading separator, no trailing blanks.
std::string effectName(const std::string& file);

}  // namespace qs
