#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/options.h"

namespace qs {

class AudioDevice;
class Program;
class Runtime;

struct ProgramInfo {
  std::string name;  // "Qspe"
  // Makes the program on the run: its services and forms.
  std::function<std::unique_ptr<Program>(Runtime&, AudioDevice&)> make;
  // Opens the machine's audio output for a live run; a program without sound
  // leaves it empty and gets a device that plays nothing.
  std::function<std::unique_ptr<AudioDevice>(const std::string& programName)> openAudio;
  // What the words of its command line do, for --help; empty when it takes none.
  std::string words;
  // A screen saver: the display may still blank, power down and lock while it
  // runs (SDL keeps it awake otherwise, as a game wants).
  bool letDisplaySleep = false;
  // What it takes besides the options both programs take.
  OptionSet options = {};
  // The window a screen-saver host made for the program, named by the words
  // of its command line (0 for the root window); nothing when the program
  // opens windows of its own. A live run draws the form that covers the
  // screen into it. Throws std::invalid_argument for words that name no
  // window: the program says so in one line and ends with status 1.
  std::function<std::optional<std::uint64_t>(const std::vector<std::string>& words)> hostWindow = nullptr;
};

// Reads the command line, picks the live (SDL) or headless backend, runs the
// program and returns its exit status.
int launch(int argc, char** argv, const ProgramInfo& program);

}  // namespace qs
