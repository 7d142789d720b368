#include "platform/sdl/display_settings.h"

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "runtime/options.h"
#include "runtime/program_dirs.h"

namespace qs {

std::string settingsPath() {
  const std::string folder = userFolder("XDG_CONFIG_HOME", ".config");
  return folder.empty() ? folder : folder + "/settings";
}

DisplaySettings readSettings(const std::string& path) {
  DisplaySettings s;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    const std::string name = line.substr(0, eq), value = line.substr(eq + 1);
    int n = -1;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size()) continue;
    if (name == "scale" && n >= 0 && n <= kLargestScale) s.scale = n;
    else if (name == "fullscreen" && (n == 0 || n == 1)) s.fullscreen = n == 1;
  }
  return s;
}

bool writeSettings(const std::string& path, const DisplaySettings& s) {
  if (path.empty()) return false;
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::ofstream out(path, std::ios::trunc);
  out << "# The last display choices of Qspe and QScr; 0 for scale is the largest that fits.\n"
      << "scale=" << s.scale << "\nfullscreen=" << (s.fullscreen ? 1 : 0) << "\n";
  return static_cast<bool>(out.flush());
}

}  // namespace qs
