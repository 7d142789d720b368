#include "platform/sdl/cache_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <ctime>

#include "host/keep_file.h"
#include "host/program_dirs.h"

namespace qs {
namespace {

// Earlier versions wrote through "NAME.XXXXXX" (mkstemp) and left it behind
// when killed before the rename; the writer of NAME sweeps those up, as the
// file service does its own ".NAME.XXXXXX".
void removeOldTemporaries(const std::string& path) {
  const std::string prefix = nameOf(path) + ".";
  DIR* d = opendir(folderOf(path).c_str());
  if (!d) return;
  const std::time_t now = std::time(nullptr);
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    bool temporary = true;
    for (std::size_t i = prefix.size(); i < name.size(); ++i)
      temporary = temporary && std::isalnum(static_cast<unsigned char>(name[i]));
    struct stat st;
    // A minute old: no writer of an older version is still at it.
    if (temporary && fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
        st.st_uid == geteuid() && now - st.st_mtime >= 60)
      unlinkat(dirfd(d), e->d_name, 0);
  }
  closedir(d);
}

}  // namespace

std::string cacheFilePath(const std::string& name) {
  const std::string folder = userFolder("XDG_CACHE_HOME", ".cache");
  return folder.empty() ? folder : folder + "/" + name;
}

bool replaceFile(const std::string& path, std::string_view bytes) {
  if (path.empty()) return false;
  // Fault mended: temporaries of writers killed before their rename were never removed.
  removeOldTemporaries(path);
  return replaceKept(path, bytes, KeepOptions{0600, false, true});
}

std::string readCacheFile(const std::string& path, std::size_t limit) {
  if (path.empty()) return {};
  // Fault mended: a pipe, device or huge file at a cache's path blocked the start or filled the memory.
  return readKept(path, limit).bytes;
}

}  // namespace qs
