#pragma once
#include <optional>
#include <string>
#include <vector>

namespace qs {

// A program on the runtime: made once the run is set up, with its forms and
// services registered, before any window opens.
class Program {
 public:
  virtual ~Program() = default;
  // The entry step: sees the words of the command line that are not options
  // and may show a message box. Returns the form to start with, or nothing to
  // end at once.
  virtual std::optional<std::string> entry(const std::vector<std::string>& arguments) = 0;
};

}  // namespace qs
