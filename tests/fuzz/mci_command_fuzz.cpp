// Media-control command strings, as a program sends them to the device.
#include <cctype>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "sound/mci_command.h"

namespace {

bool lower(const std::string& s) {
  for (unsigned char c : s)
    if (std::isupper(c)) return false;
  return true;
}

bool blank(const std::string& s) {
  for (unsigned char c : s)
    if (!std::isspace(c)) return false;
  return true;
}

bool hasBlank(const std::string& s) {
  for (unsigned char c : s)
    if (std::isspace(c)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  auto c = qs::parseMciCommand(text);
  FUZZ_CHECK(c.has_value() == !blank(text));
  if (!c) return 0;
  // The verb and the keywords are lower case; every part comes from the text.
  FUZZ_CHECK(!c->verb.empty() && lower(c->verb) && !hasBlank(c->verb));
  FUZZ_CHECK(!hasBlank(c->device) && !hasBlank(c->type) && lower(c->type));
  for (const auto& w : c->words) FUZZ_CHECK(!w.empty() && lower(w) && !hasBlank(w));
  FUZZ_CHECK(text.find(c->device) != std::string::npos);
  FUZZ_CHECK(text.find(c->file) != std::string::npos);
  if (c->verb != "open") FUZZ_CHECK(c->file.empty() && c->type.empty());
  else FUZZ_CHECK(c->words.empty());
  return 0;
}
