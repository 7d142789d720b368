#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qs {

// Virtual-key codes the scenes test.
inline constexpr int vbKeyLeft = 37;
inline constexpr int vbKeyUp = 38;
inline constexpr int vbKeyRight = 39;
inline constexpr int vbKeyDown = 40;
inline constexpr int vbKeyX = 88;
inline constexpr int vbKeyZ = 90;

// "Z", "X", "Left", ... or the decimal code for any other key.
std::string keyName(int code);
// Inverse of keyName; nothing for a name that is neither a known key nor a number 1..255.
std::optional<int> keyCode(std::string_view name);

}  // namespace qs
