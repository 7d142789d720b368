#include "platform/sdl/video/display_settings.h"

#include <charconv>
#include <sstream>

#include "host/keep_file.h"
#include "host/options.h"
#include "host/program_dirs.h"

namespace qs {
namespace {

// Two short lines and a note; a larger file is not the program's.
constexpr std::size_t kMostBytes = 4096;
constexpr const char* kHeading = "# The last display choices of Qspe and QScr; 0 for scale is the largest that fits.\n";

}  // namespace

std::string settingsPath() {
  const std::string folder = userFolder("XDG_CONFIG_HOME", ".config");
  return folder.empty() ? folder : folder + "/settings";
}

std::string readSettingsText(const std::string& path) {
  // Fault mended: a pipe at the path blocked the start, and /dev/zero or a huge line filled the memory.
  return path.empty() ? std::string() : readKept(path, kMostBytes).bytes;
}

DisplaySettings readSettings(const std::string& path) {
  DisplaySettings s;
  std::istringstream in(readSettingsText(path));
  for (std::string line; std::getline(in, line);) {
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string name = line.substr(0, eq), value = line.substr(eq + 1);
    int n = -1;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size()) continue;
    if (name == "scale" && n >= 0 && n <= kLargestScale) s.scale = n;
    else if (name == "fullscreen" && (n == 0 || n == 1)) s.fullscreen = n == 1;
    else if (name == "pause_on_focus_loss" && (n == 0 || n == 1)) s.pauseOnFocusLoss = n == 1;
  }
  return s;
}

bool writeSettings(const std::string& path, const DisplaySettings& s) {
  if (path.empty()) return false;
  std::ostringstream out;
  out << kHeading << "scale=" << s.scale << "\nfullscreen=" << (s.fullscreen ? 1 : 0) << "\n";
  // The player's own lines (keys, pad buttons) stay as they are.
  std::istringstream kept(readSettingsText(path));
  for (std::string line; std::getline(kept, line);)
    if (line + "\n" != std::string(kHeading) && line.rfind("scale=", 0) != 0 && line.rfind("fullscreen=", 0) != 0)
      out << line << "\n";
  // Fault mended: the file was rewritten in place, so a crash or a full disk could leave it empty.
  return replaceKept(path, out.str(), KeepOptions{0644, true, true});
}

}  // namespace qs
