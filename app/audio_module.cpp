#include "app/audio_module.h"

#include <dlfcn.h>

#include <cstdio>
#include <filesystem>

#include "platform/sdl/audio_module_entry.h"

namespace qs {
namespace {

namespace fs = std::filesystem;

fs::path modulePath() {
  std::error_code error;
  const fs::path program = fs::read_symlink("/proc/self/exe", error);
  const fs::path dir = error ? fs::path(".") : program.parent_path();
  if (fs::path beside = dir / QSPE_AUDIO_MODULE; fs::exists(beside, error)) return beside;
  return (dir / QSPE_AUDIO_MODULE_FROM_BIN / QSPE_AUDIO_MODULE).lexically_normal();
}

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
  const std::string path = modulePath().string();
  // Never closed: the device's code is in it, and the sound libraries it
  // brings keep threads of their own until the program ends.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module) return noSound(programName, "cannot load the audio output " + path + ": " + loaderError(path));
  auto open = reinterpret_cast<AudioModuleEntry>(dlsym(module, kAudioModuleEntry));
  if (!open) return noSound(programName, "cannot load the audio output " + path + ": " + loaderError(path));
  return std::unique_ptr<AudioDevice>(open(programName.c_str()));
}

}  // namespace qs
