#pragma once
#include <memory>

#include "qspe/game_services.h"
#include "qspe/score_file.h"
#include "runtime/program.h"
#include "sound/sound_system.h"

namespace qs {

class AudioDevice;
class Runtime;

// The game program: the sound and the score file its scenes share, and every
// scene, registered with the runtime. It starts on the splash and takes no
// words of its own.
class QspeProgram final : public Program {
 public:
  QspeProgram(Runtime& rt, AudioDevice& audio);
  std::optional<std::string> entry(const std::vector<std::string>& arguments) override;
  GameServices& services() { return services_; }

 private:
  SoundSystem sound_;
  ScoreStore scores_;
  GameServices services_;
};

std::unique_ptr<Program> makeQspe(Runtime& rt, AudioDevice& audio);

}  // namespace qs
