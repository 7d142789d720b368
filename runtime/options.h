#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/platform.h"

namespace qs {

// The command line shared by both programs.
struct Options {
  bool headless = false;
  std::string script, record, trace, dir;
  std::optional<std::uint64_t> seed;
  std::optional<std::int64_t> until;
  std::optional<ScreenSize> screen;
  int scale = 0;  // 0: the largest of 1, 2, 3 that fits the display
  bool help = false, version = false;  // say so and run nothing
  std::vector<std::string> arguments;  // anything that is not an option
};

// Throws std::invalid_argument with a message for a bad option.
Options parseOptions(const std::vector<std::string>& args);

}  // namespace qs
