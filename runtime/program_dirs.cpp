#include "runtime/program_dirs.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace qs {
namespace {

std::string withoutTrailingSlash(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

}  // namespace

ProgramDirs findProgramDirs(const std::string& exeDir, const std::string& chosenDir) {
  if (!chosenDir.empty()) {
    std::string dir = withoutTrailingSlash(chosenDir);
    return {dir, dir, false};
  }
  std::string own = withoutTrailingSlash(exeDir);
  std::filesystem::path shared = std::filesystem::path(own).parent_path() / "share" / "qspe";
  std::error_code error;
  // Installed: the scores go to the player's data home, never beside the shared media.
  if (std::filesystem::is_directory(shared, error))
    return {shared.lexically_normal().string(), dataHome(), true};
  return {own, own, false};
}

std::string userFolder(const char* variable, const char* underHome) {
  const char* xdg = std::getenv(variable);
  if (xdg && *xdg == '/') return withoutTrailingSlash(xdg) + "/qspe";
  const char* home = std::getenv("HOME");
  if (home && *home == '/') return std::string(home) + "/" + underHome + "/qspe";
  return {};
}

std::string dataHome() {
  if (std::string folder = userFolder("XDG_DATA_HOME", ".local/share"); !folder.empty()) return folder;
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/share/qspe";
}

}  // namespace qs
