#pragma once
#include <memory>
#include <string>

#include "runtime/instance_lock.h"
#include "runtime/program.h"

namespace qs {

class Runtime;

inline constexpr const char* kSaverTitle = "QorvexSaver Ver 1.00";

// The screen saver: one copy at a time; its command line says whether it
// runs, shows its settings box or its password message, or does nothing.
// Given a screen-saver host's window (see findHostWindow) it just runs, hosted.
class QScrProgram final : public Program {
 public:
  // `hostEnv`: the value of $XSCREENSAVER_WINDOW, empty when unset.
  QScrProgram(Runtime& rt, std::unique_ptr<InstanceLock> lock, std::string hostEnv = {});
  std::optional<std::string> entry(const std::vector<std::string>& arguments) override;

  // The text of the settings box ("/C" or no command line).
  static const char* settingsText();

 private:
  Runtime& rt_;
  std::unique_ptr<InstanceLock> lock_;
  std::string hostEnv_;
};

// The saver with its lock in a folder of the user's own and its host's window
// from the environment.
std::unique_ptr<Program> makeQScr(Runtime& rt);

}  // namespace qs
