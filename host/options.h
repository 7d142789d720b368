#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/platform.h"

namespace qs {

// The largest window scale --scale takes: the smallest scene at 12 about fills an 8K screen.
inline constexpr int kLargestScale = 12;

// The command line shared by both programs.
struct Options {
  bool headless = false;
  std::string script, record, trace, dir;
  std::optional<std::uint64_t> seed;
  std::optional<std::int64_t> until;
  std::optional<ScreenSize> screen;
  // Window scale of a live run: 0 the largest that fits the screen; none
  // given, the one the player chose last.
  std::optional<int> scale;
  bool fullscreen = false;             // a live run starts in full screen
  bool help = false, version = false;  // say so and run nothing
  bool keys = false;                   // print the keys and pad buttons in force, run nothing
  std::vector<std::string> arguments;  // anything that is not an option
};

// What a program takes besides the options both programs take.
struct OptionSet {
  bool window = true;  // --scale, --fullscreen and --keys: the program opens windows of its own
  // Words of the program's own that look like options (a screen-saver host's
  // "--root"): passed on among its arguments, each with the `values` words
  // after it, as they are.
  struct Word {
    std::string name;
    int values = 0;
  };
  std::vector<Word> words;
};

// Throws std::invalid_argument with a message for a bad option.
Options parseOptions(const std::vector<std::string>& args, const OptionSet& set = {});

}  // namespace qs
