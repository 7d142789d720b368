#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qs {

// The window a screen-saver host (xscreensaver and the like) made for the
// saver to draw in.
struct HostWindow {
  bool root = false;     // the root window of the display
  std::uint64_t id = 0;  // otherwise this window
  bool operator==(const HostWindow&) const = default;
};

// The host's window, from the words of the command line and the value of
// $XSCREENSAVER_WINDOW (empty when unset): "-window-id ID" first, then the
// variable, then "-root"; nothing when the saver runs on its own. Each word
// may also be spelled with two dashes, as xscreensaver 6 writes them. An ID
// is decimal or "0x" hexadecimal. Throws std::invalid_argument for an ID that
// is not a window number.
std::optional<HostWindow> findHostWindow(const std::vector<std::string>& words, const std::string& envWindow);

}  // namespace qs
