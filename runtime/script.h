#pragma once
#include <cstdint>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "runtime/platform.h"

namespace qs {

struct Script {
  std::optional<std::uint64_t> seed;
  std::vector<InputEvent> events;
};

struct ScriptError : std::runtime_error {
  ScriptError(int line, const std::string& what)
      : std::runtime_error("line " + std::to_string(line) + ": " + what), line(line) {}
  int line;
};

// Parses a script; throws ScriptError naming the first bad line.
Script parseScript(const std::string& text);
// One event as a script line ("250 up Z").
std::string scriptLine(const InputEvent& e);

// Writes every input event of a live run, stamped, in script format.
class ScriptRecorder {
 public:
  ScriptRecorder(const std::string& path, std::uint64_t seed);
  ~ScriptRecorder();
  ScriptRecorder(const ScriptRecorder&) = delete;
  ScriptRecorder& operator=(const ScriptRecorder&) = delete;
  bool ok() const { return file_ != nullptr; }
  void record(const InputEvent& e);
  // The last line: the run ended at this time.
  void finish(std::int64_t time);

 private:
  std::FILE* file_;
};

}  // namespace qs
