#pragma once
#include <string>

namespace qs {

// Carries out media-control command strings ("open ... alias midifile",
// "play midifile", "status midifile mode", ...) and answers them.
class MediaControl {
 public:
  virtual ~MediaControl() = default;
  virtual std::string send(const std::string& command) = 0;
};

}  // namespace qs
