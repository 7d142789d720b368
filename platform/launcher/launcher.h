#pragma once
#include <functional>
#include <string>

namespace qs {

class Runtime;
struct Options;

struct ProgramInfo {
  std::string name;        // "Qspe"
  std::string startForm;   // the form loaded and shown at start
  std::function<void(Runtime&)> registerForms;
};

// Reads the command line, picks the live (SDL) or headless backend, runs the
// program and returns its exit status.
int launch(int argc, char** argv, const ProgramInfo& program);

}  // namespace qs
