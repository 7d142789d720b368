#pragma once
#include <functional>
#include <memory>
#include <string>

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
};

// Reads the command line, picks the live (SDL) or headless backend, runs the
// program and returns its exit status.
int launch(int argc, char** argv, const ProgramInfo& program);

}  // namespace qs
