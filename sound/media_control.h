#pragma once
#include <cstdint>
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
};

}  // namespace qs
