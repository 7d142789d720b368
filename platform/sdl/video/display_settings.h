#pragma once
#include <string>

namespace qs {

// The player's last display choices, kept between runs of the live program.
struct DisplaySettings {
  int scale = 0;  // 0: the largest that fits the screen
  bool fullscreen = false;
  bool pauseOnFocusLoss = true;  // pause_on_focus_loss=0 in the file: a window left goes on playing
  bool operator==(const DisplaySettings&) const = default;
};

// $XDG_CONFIG_HOME/qspe/settings (~/.config/qspe/settings when it is unset
// or not an absolute path); empty when there is no home either.
std::string settingsPath();

// The settings in `path`; the defaults for what is missing, unreadable, out
// of range, not a regular file or larger than a few kB. Never blocks.
DisplaySettings readSettings(const std::string& path);

// The whole settings file as text; empty as readSettings reads nothing.
std::string readSettingsText(const std::string& path);

// Writes them, keeping the file's other lines, making the folder: the file is replaced whole or not at all,
// and never when something other than a regular file is there. False when it
// cannot.
bool writeSettings(const std::string& path, const DisplaySettings& s);

}  // namespace qs
