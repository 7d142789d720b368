#pragma once
#include <string>

namespace qs {

// The player's last display choices, kept between runs of the live program.
struct DisplaySettings {
  int scale = 0;  // 0: the largest that fits the screen
  bool fullscreen = false;
  bool operator==(const DisplaySettings&) const = default;
};

// $XDG_CONFIG_HOME/qspe/settings (~/.config/qspe/settings when it is unset
// or not an absolute path); empty when there is no home either.
std::string settingsPath();

// The settings in `path`; the defaults for what is missing, unreadable or
// out of range.
DisplaySettings readSettings(const std::string& path);

// Writes them, making the folder; false when it cannot.
bool writeSettings(const std::string& path, const DisplaySettings& s);

}  // namespace qs
