#pragma once
#include <string>

namespace qs {

// SDL's simple message box, OK only, no icon, shown until it is answered.
// SIGINT, SIGTERM and SIGHUP end it as they end a window (one the program
// ignores stays ignored); true when one did, and the program should quit.
bool showMessageBox(const std::string& title, const std::string& text);

}  // namespace qs
