#pragma once
#include <string>

namespace qs {

class Runtime;
enum class SoundMode;

// WAV sound effects: a waiting effect holds the program still for its length,
// a background one returns at once and cuts off the effect still sounding.
class SoundEffects {
 public:
  explicit SoundEffects(Runtime& rt) : rt_(rt) {}
  void play(const std::string& file, SoundMode mode);

 private:
  Runtime& rt_;
};

// The name as the trace shows it: no directory, no leading separator, no trailing blanks.
std::string effectName(const std::string& file);

}  // namespace qs
