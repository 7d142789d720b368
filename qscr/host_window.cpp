#include "qscr/host_window.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

namespace qs {
namespace {

std::uint64_t windowNumber(const std::string& text, const std::string& where) {
  const char* begin = text.c_str();
  char* end = nullptr;
  errno = 0;
  unsigned long long v = std::strtoull(begin, &end, 0);
  bool digitFirst = !text.empty() && text[0] >= '0' && text[0] <= '9';
  if (!digitFirst || *end != '\0' || errno == ERANGE || v == 0)
    throw std::invalid_argument(where + " takes a window number, not \"" + text + "\"");
  return v;
}

}  // namespace

std::optional<HostWindow> findHostWindow(const std::vector<std::string>& words, const std::string& envWindow) {
  bool root = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "-window-id" || words[i] == "--window-id") {
      if (i + 1 >= words.size()) throw std::invalid_argument(words[i] + " needs a window number");
      return HostWindow{false, windowNumber(words[i + 1], words[i])};
    }
    if (words[i] == "-root" || words[i] == "--root") root = true;
  }
  // A host that names its window in the environment may also say -root: the
  // window it made is the one meant.
  if (!envWindow.empty()) return HostWindow{false, windowNumber(envWindow, "$XSCREENSAVER_WINDOW")};
  if (root) return HostWindow{true, 0};
  return std::nullopt;
}

}  // namespace qs
