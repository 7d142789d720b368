#pragma once
#include <memory>
#include <string>

#include "host/instance_lock.h"
#include "qscr/host_window.h"
#include "runtime/program.h"

namespace qs {

class Runtime;

inline constexpr const char* kSaverTitle = "QorvexSaver Ver 1.00";

// What the first two characters of the command line ask for, in either case:
// "/A" the password message, "/C" or nothing the settings box, "/P" nothing,
// anything else the saver.
enum class SaverMode { Password, Settings, Nothing, Run };
SaverMode saverMode(const std::vector<std::string>& words);

// The window of a screen-saver host to run in (see findHostWindow): only a
// command line that runs the saver has one; the host's words do not change
// what the others ask for.
std::optional<HostWindow> saverHost(const std::vector<std::string>& words, const std::string& envWindow);

// The screen saver: one copy at a time; its command line says whether it
// runs, shows its settings box or its password message, or does nothing.
// Run inside a screen-saver host's window it takes no lock, since the host
// starts a copy for each window it makes (a preview too), and input does not
// end it.
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
