// The display settings: any bytes at all may sit in "settings". What is read
// is in range, and written back reads the same.
#include "fuzz_support.h"
#include "platform/sdl/video/display_settings.h"
#include "host/options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static qs::fuzz::InputFile file("settings");
  const qs::DisplaySettings read = qs::readSettings(file.write(data, size));
  const std::string back = file.dir() + "/written";
  FUZZ_CHECK(read.scale >= 0 && read.scale <= qs::kLargestScale);
  FUZZ_CHECK(qs::writeSettings(back, read) && qs::readSettings(back) == read);
  return 0;
}
