#include "qscr/qscr_program.h"

#include <cstdlib>

#include "qscr/form_qscr.h"
#include "qscr/host_window.h"
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
         "example with xss-lock (xset s 300; xss-lock -- /path/to/QScr /S) or with xautolock "
         "(xautolock -time 5 -locker \"/path/to/QScr /S\"), or as an xscreensaver display mode (QScr -root).";
}

std::optional<std::string> QScrProgram::entry(const std::vector<std::string>& arguments) {
  if (findHostWindow(arguments, hostEnv_)) {
    // Inside a screen-saver host, which starts and ends a copy for each
    // window it makes (a preview too): no lock, and the saver runs whatever
    // the other words say.
    rt_.form<FormQScr>("FormQScr").setHosted(true);
    return "FormQScr";
  }
  if (!lock_->take()) return std::nullopt;  // a copy already runs: this one ends, whatever it was asked
  // The first two characters of the command line, upper case.
  std::string mode = arguments.empty() ? "" : arguments.front().substr(0, 2);
  for (char& c : mode)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  if (mode == "/A") {  // change the password
    rt_.msgBox(kSaverTitle, "パスワードには非対応");
    return std::nullopt;
  }
  if (mode == "/C" || mode.empty()) {  // settings
    rt_.msgBox(kSaverTitle, settingsText());
    return std::nullopt;
  }
  if (mode == "/P") return std::nullopt;  // there is no preview
  return "FormQScr";                      // "/S" and anything unknown run the saver
}

std::unique_ptr<Program> makeQScr(Runtime& rt) {
  const char* host = std::getenv("XSCREENSAVER_WINDOW");
  return std::make_unique<QScrProgram>(rt, std::make_unique<FileInstanceLock>(rt.programName()), host ? host : "");
}

}  // namespace qs
