#include "app/audio_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/trusted_module.h"
#include "platform/sdl/audio/audio_module_entry.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

struct Place {
  fs::path folder;  // opened by its path
  fs::path down;    // the folders below it, each checked on the way down
};

// Beside the program (the build tree); in the program's own installed tree,
// which may have been moved whole; where it was installed. Never a path
// relative to the program alone: it was loaded from <exe>/../lib/qspe/
// unchecked, so a copy at /tmp/x/Qspe ran whatever anyone put in /tmp/lib/qspe/.
std::vector<Place> places() {
  std::vector<Place> out;
  std::error_code error;
  if (const fs::path program = fs::read_symlink("/proc/self/exe", error); !error) {
    out.push_back({program.parent_path(), {}});
    fs::path prefix = (program.parent_path() / QSPE_PREFIX_FROM_BIN).lexically_normal();
    if (!prefix.has_filename()) prefix = prefix.parent_path();
    out.push_back({prefix, QSPE_AUDIO_MODULE_IN_PREFIX});
  }
  out.push_back({QSPE_AUDIO_MODULE_INSTALLED, {}});
  return out;
}

std::string at(const Place& place) { return (place.folder / place.down / QSPE_AUDIO_MODULE).string(); }

std::unique_ptr<AudioDevice> noSound(const std::string& programName, const std::string& why) {
  std::fprintf(stderr, "%s: no sound: %s\n", programName.c_str(), why.c_str());
  return nullptr;
}

// dlerror()'s text without the path it often starts with, which the line names already.
std::string loaderError(const std::string& path) {
  const char* text = dlerror();
  std::string why = text ? text : "unknown error";
  if (why.starts_with(path + ": ")) why.erase(0, path.size() + 2);
  return why;
}

}  // namespace

std::unique_ptr<AudioDevice> openAudioModule(const std::string& programName) {
  // The first module that can be trusted and loaded; else the first one
  // found is named, with why it was not loaded.
  std::string refused;
  for (const Place& place : places()) {
    ModuleFile file = openTrustedModule(place.folder, place.down, QSPE_AUDIO_MODULE);
    if (!file.found) continue;
    if (file.fd >= 0) {
      // The file checked, through its descriptor, not its path again.
      const std::string opened = "/proc/self/fd/" + std::to_string(file.fd);
      // Never closed: the device's code is in it, and the sound libraries it
      // brings keep threads of their own until the program ends.
      void* module = dlopen(opened.c_str(), RTLD_NOW | RTLD_LOCAL);
      close(file.fd);
      auto open = module ? reinterpret_cast<AudioModuleEntry>(dlsym(module, kAudioModuleEntry)) : nullptr;
      if (open) return std::unique_ptr<AudioDevice>(open(programName.c_str()));
      file.why = loaderError(opened);
      if (module) return noSound(programName, "cannot load the audio output " + at(place) + ": " + file.why);
    }
    if (refused.empty()) refused = "cannot load the audio output " + at(place) + ": " + file.why;
  }
  if (refused.empty())
    refused = "cannot load the audio output " + at({QSPE_AUDIO_MODULE_INSTALLED, {}}) + ": No such file or directory";
  return noSound(programName, refused);
}

}  // namespace qs
