// The display settings: any bytes at all may sit in "settings". What is read
// is in range, and written back reads the same.
#include "fuzz_support.h"
#include "host/options.h"
#include "platform/sdl/video/display_settings.h"

FUZZ_TARGET(in) {
  const qs::DisplaySettings read = qs::readSettings(in.file("settings"));
  const std::string back = qs::fuzz::folder().file("written");
  FUZZ_CHECK(read.scale >= 0 && read.scale <= qs::kLargestScale);
  FUZZ_CHECK(qs::writeSettings(back, read) && qs::readSettings(back) == read);
}
