#pragma once
#include <optional>
#include <string>
#include <vector>

namespace qs {

// A media-control command string taken apart: "play midifile from 0" is the
// verb "play", the device "midifile" and the words "from", "0". Verbs and
// keywords compare without regard to case; an open command's file name keeps
// its case and may hold blanks.
struct MciCommand {
  std::string verb;                // lower case
  std::string device;              // as written; for "open", the alias (empty when none)
  std::vector<std::string> words;  // after the device; keywords in lower case
  std::string file;                // "open" only
  std::string type;                // "open" only: the "type" keyword's value, lower case

  // The word after `keyword`, if the keyword is there.
  std::optional<std::string> after(const std::string& keyword) const;
  bool has(const std::string& keyword) const;
};

// Nothing for an empty command.
std::optional<MciCommand> parseMciCommand(const std::string& text);

std::string lowerCase(std::string s);

}  // namespace qs
