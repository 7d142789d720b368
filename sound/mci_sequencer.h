#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "sound/media_control.h"
#include "sound/midi_file.h"

namespace qs {

class AudioDevice;
struct MciCommand;

// Return codes of the media-control device.
namespace mci {
inline constexpr std::int32_t kOk = 0;
inline constexpr std::int32_t kUnrecognizedKeyword = 259;
inline constexpr std::int32_t kUnrecognizedCommand = 261;
inline constexpr std::int32_t kInvalidDeviceName = 263;
inline constexpr std::int32_t kBadInteger = 274;
inline constexpr std::int32_t kFileNotFound = 275;
inline constexpr std::int32_t kOutOfRange = 282;
inline constexpr std::int32_t kInvalidFile = 296;
}  // namespace mci

// The MIDI sequencer behind the command strings: one device for the whole
// program, whatever alias it is opened under, so opening a file closes
// whatever was open.
//
// The device's state follows the run's clock, not the sound output: a tune
// started at time t from position p is at p + (now - t) and is stopped at its
// end once its length has passed. A headless run and a live one therefore
// answer alike, and the audio device only sounds what this decides.
class MciSequencer : public MediaControl {
 public:
  using Clock = std::function<std::int64_t()>;
  // Told of a music file that cannot be opened: its path and why.
  using BadFile = std::function<void(const std::string& path, const char* why)>;
  MciSequencer(Clock clock, AudioDevice& audio, BadFile badFile = {});
  ~MciSequencer() override;

  std::string send(const std::string& command) override;
  std::int32_t lastError() const override { return error_; }
  std::optional<std::int64_t> msToEnd() const override;
  std::optional<std::int64_t> tuneMs() const override;

 private:
  enum class Mode { Stopped, Playing, Paused };
  struct Open {
    std::shared_ptr<const MidiTune> tune;
    std::string alias;
    Mode mode = Mode::Stopped;
    std::int64_t position = 0;   // while playing: where it was at `startedAt`
    std::int64_t startedAt = 0;  // run's clock
  };

  std::string open(const MciCommand& c);
  std::string play(const MciCommand& c);
  std::string seek(const MciCommand& c);
  std::string status(const MciCommand& c);
  void halt(Mode mode);
  void close();
  void settle();
  std::int64_t length() const;
  std::int64_t position() const;
  std::optional<std::int64_t> point(const std::string& word);
  std::string fail(std::int32_t code);

  Clock clock_;
  AudioDevice& audio_;
  BadFile badFile_;
  std::optional<Open> open_;
  std::int32_t error_ = mci::kOk;
};

}  // namespace qs
