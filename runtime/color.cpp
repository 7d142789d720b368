#include "runtime/color.h"

#include <cstdio>

namespace qs {

std::string Color::hex() const {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", r, g, b);
  return buf;
}

}  // namespace qs
