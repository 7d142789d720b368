#include "runtime/keys.h"

#include <array>
#include <charconv>
#include <utility>

namespace qs {
namespace {
constexpr std::array<std::pair<int, std::string_view>, 6> kNamed{
    {{vbKeyZ, "Z"}, {vbKeyX, "X"}, {vbKeyLeft, "Left"}, {vbKeyRight, "Right"}, {vbKeyUp, "Up"}, {vbKeyDown, "Down"}}};
}

std::string keyName(int code) {
  for (auto [c, n] : kNamed)
    if (c == code) return std::string(n);
  return std::to_string(code);
}

std::optional<int> keyCode(std::string_view name) {
  for (auto [c, n] : kNamed)
    if (n == name) return c;
  int v = 0;
  auto [p, ec] = std::from_chars(name.data(), name.data() + name.size(), v);
  if (ec != std::errc() || p != name.data() + name.size() || v < 1 || v > 255) return std::nullopt;
  return v;
}

}  // namespace qs
