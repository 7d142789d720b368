#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace qs {

// Carries out media-control command strings ("open ... alias midifile",
// "play midifile", "status midifile mode", ...) and answers them.
class MediaControl {
 public:
  virtual ~MediaControl() = default;
  virtual std::string send(const std::string& command) = 0;
  // The return code of the last command: 0 when it was carried out.
  virtual std::int32_t lastError() const { return 0; }
  // While a tune plays, the ms left until its end on the run's clock. A look
  // at the device's state for scheduling, not a command: nothing is sent.
  virtual std::optional<std::int64_t> msToEnd() const { return std::nullopt; }
  // The length in ms of the open tune, playing or not; a look as well.
  virtual std::optional<std::int64_t> tuneMs() const { return std::nullopt; }
};

}  // namespace qs
