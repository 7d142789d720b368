#include "qscr/qscr_program.h"

#include <cstdlib>

#include "qscr/form_qscr.h"
#include "runtime/runtime.h"

namespace qs {

QScrProgram::QScrProgram(Runtime& rt, std::unique_ptr<InstanceLock> lock, std::string hostEnv)
    : rt_(rt), lock_(std::move(lock)), hostEnv_(std::move(hostEnv)) {
  rt.addForm(std::make_unique<FormQScr>());
}

const char* QScrProgram::settingsText() {
  // One line, as every traced text is: the message box wraps it.
  return "QorvexSaver shows the characters of the QorvexBlast games one at a time, each with its name and a "
         "description typed out letter by letter; any key, a click or a mouse movement ends it. It has no settings. "
         "To use it as the screen saver of an X desktop, have it started with /S when the screen goes idle, for "
         "example with xss-lock (xset s 300; xss-lock -- /path/to/QScr /S), or add it to the programs: list of "
         "xscreensaver's ~/.xscreensaver as \"QorvexSaver\" /path/to/QScr --root and pick it in "
         "xscreensaver-settings.";
}

std::optional<std::string> QScrProgram::entry(const std::vector<std::string>& arguments) {
  const SaverMode mode = saverMode(arguments);
  const std::optional<HostWindow> host = saverHost(arguments, hostEnv_);
  // A copy already runs: this one ends, whatever it was asked.
  if (host ? lock_->heldElsewhere() : !lock_->take()) return std::nullopt;
  switch (mode) {
    case SaverMode::Password: rt_.msgBox(kSaverTitle, "パスワードには非対応"); return std::nullopt;
    case SaverMode::Settings: rt_.msgBox(kSaverTitle, settingsText()); return std::nullopt;
    case SaverMode::Nothing:  // there is no preview
      return std::nullopt;
    case SaverMode::Run:  // "/S" and anything unknown
      break;
  }
  rt_.form<FormQScr>("FormQScr").setHosted(host.has_value());
  return "FormQScr";
}

SaverMode saverMode(const std::vector<std::string>& words) {
  std::string mode = words.empty() ? "" : words.front().substr(0, 2);
  for (char& c : mode)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (mode == "/A") return SaverMode::Password;
  if (mode == "/C" || mode.empty()) return SaverMode::Settings;
  if (mode == "/P") return SaverMode::Nothing;
  return SaverMode::Run;
}

std::optional<HostWindow> saverHost(const std::vector<std::string>& words, const std::string& envWindow) {
  if (saverMode(words) != SaverMode::Run) return std::nullopt;
  return findHostWindow(words, envWindow);
}

std::unique_ptr<Program> makeQScr(Runtime& rt) {
  const char* host = std::getenv("XSCREENSAVER_WINDOW");
  return std::make_unique<QScrProgram>(rt, std::make_unique<FileInstanceLock>(rt.programName()), host ? host : "");
}

}  // namespace qs
