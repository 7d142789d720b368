// Media-control command strings, as a program sends them to the device.
#include <algorithm>
#include <cctype>

#include "fuzz_support.h"
#include "sound/mci_command.h"

namespace {

bool any(const std::string& s, int (*is)(int)) {
  return std::ranges::any_of(s, [is](unsigned char c) { return is(c) != 0; });
}
bool word(const std::string& s) { return !s.empty() && !any(s, std::isupper) && !any(s, std::isspace); }

}  // namespace

FUZZ_TARGET(in) {
  const std::string text = in.text();
  auto c = qs::parseMciCommand(text);
  FUZZ_CHECK(c.has_value() == std::ranges::any_of(text, [](unsigned char ch) { return !std::isspace(ch); }));
  if (!c) return;
  // The verb and the keywords are lower case; every part comes from the text.
  FUZZ_CHECK(word(c->verb) && !any(c->device, std::isspace) && (c->type.empty() || word(c->type)));
  for (const auto& w : c->words) FUZZ_CHECK(word(w));
  FUZZ_CHECK(text.find(c->device) != std::string::npos && text.find(c->file) != std::string::npos);
  FUZZ_CHECK(c->verb == "open" ? c->words.empty() : c->file.empty() && c->type.empty());
}
