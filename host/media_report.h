#pragma once
#include <cstdio>
#include <set>
#include <string>

namespace qs {

// Media files that cannot be used, each named once on standard error for
// whoever runs the program; the player is not told and the game goes on
// without them. Each service that reads media (the sound, the pictures)
// keeps one.
class MediaReport {
 public:
  explicit MediaReport(std::string programName) : programName_(std::move(programName)) {}

  // A sound effect or a tune.
  void cannotPlay(const std::string& path, const std::string& why) { say("play", path, why); }
  // A picture.
  void cannotShow(const std::string& path, const std::string& why) { say("show", path, why); }

 private:
  void say(const char* verb, const std::string& path, const std::string& why) {
    if (!named_.insert(path).second) return;
    std::fprintf(stderr, "%s: cannot %s %s: %s; the game goes on without it\n", programName_.c_str(), verb,
                 path.c_str(), why.c_str());
  }

  std::string programName_;
  std::set<std::string> named_;
};

}  // namespace qs
