#include "platform/sdl/cache_file.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "runtime/program_dirs.h"

namespace qs {

std::string cacheFilePath(const std::string& name) {
  const std::string folder = userFolder("XDG_CACHE_HOME", ".cache");
  return folder.empty() ? folder : folder + "/" + name;
}

bool replaceFile(const std::string& path, std::string_view bytes) {
  if (path.empty()) return false;
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  std::string temp = path + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  bool ok = write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  ok = close(fd) == 0 && ok;
  if (ok && std::rename(temp.c_str(), path.c_str()) == 0) return true;
  std::remove(temp.c_str());
  return false;
}

}  // namespace qs
