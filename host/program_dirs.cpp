#include "host/program_dirs.h"

#include <pwd.h>
#include <unistd.h>

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

ProgramDirs findProgramDirs(const std::string& exeDir, const std::string& chosenDir, const std::string& mediaFromBin) {
  if (!chosenDir.empty()) {
    std::string dir = withoutTrailingSlash(chosenDir);
    return {dir, dir, false};
  }
  std::string own = withoutTrailingSlash(exeDir);
  std::filesystem::path shared = std::filesystem::path(own) / mediaFromBin;
  std::error_code error;
  // Installed: the scores go to the player's data home, never beside the shared media.
  if (std::filesystem::is_directory(shared, error)) return {shared.lexically_normal().string(), dataHome(), true};
  return {own, own, false};
}

std::string homeFolder() {
  if (const char* home = std::getenv("HOME"); home && *home) return *home == '/' ? withoutTrailingSlash(home) : "";
  // HOME unset, as under some service managers: the account's own home.
  const passwd* account = getpwuid(geteuid());
  if (account && account->pw_dir && account->pw_dir[0] == '/') return withoutTrailingSlash(account->pw_dir);
  return {};
}

std::string userFolder(const char* variable, const char* underHome) {
  const char* xdg = std::getenv(variable);
  if (xdg && *xdg == '/') return withoutTrailingSlash(xdg) + "/qspe";
  // Never a folder relative to wherever the program was started.
  if (const std::string home = homeFolder(); !home.empty()) return home + "/" + underHome + "/qspe";
  return {};
}

std::string dataHome() { return userFolder("XDG_DATA_HOME", ".local/share"); }

}  // namespace qs
