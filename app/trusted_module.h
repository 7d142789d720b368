#pragma once
#include <filesystem>
#include <string>

namespace qs {

// A module file opened for loading, or why it may not be loaded.
struct ModuleFile {
  int fd = -1;         // read-only, close-on-exec; the caller closes it
  bool found = false;  // something is at its path (a folder on the way may be missing)
  std::string why;     // when fd < 0 and found
};

// Opens `folder`/`down`/`name` to load code from it, when it can be trusted:
// `folder` and each folder of `down` below it, reached from the one above
// through its descriptor, and the file itself are owned by the effective
// user or root and writable by no one else; the file is a regular file
// whose ELF program headers lie inside it. Never blocks (a FIFO, a device).
// The checks are made on the descriptors, so loading the file through
// /proc/self/fd/<fd> loads the very file checked.
ModuleFile openTrustedModule(const std::filesystem::path& folder, const std::filesystem::path& down,
                             const std::string& name);

}  // namespace qs
