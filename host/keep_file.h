#pragma once
// The one way the programs read and write the files they keep: the score
// file, the settings and the caches. Reading never blocks and never takes
// more than its caller allows; writing replaces a file whole or not at all.
// Neither goes through a link that the kernel would refuse to follow, nor
// touches anything that is not a regular file.
#include <sys/stat.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "host/file_ops.h"

namespace qs {

// What lies at a path, the last name not followed.
enum class KeptKind { Missing, File, Other };
KeptKind keptKindAt(const std::string& path, struct stat* st = nullptr);

// Follows the links at the end of `path` and returns where the chain ends
// (a name that may not exist yet). A link in a sticky folder that others may
// write (such as /tmp) is followed only when it is the player's or the
// folder owner's, as the kernel's protected_symlinks rule has it, whether or
// not that rule is switched on here. Nullopt with errno: EACCES for such a
// link, ELOOP, or what reading a link gave.
std::optional<std::string> followKeptLinks(const std::string& path);

struct KeptBytes {
  KeptKind kind = KeptKind::Missing;  // Other: not a regular file, unreadable, too large, a link refused
  std::string bytes;
};

// Reads the file at the end of the links at `path`: opened without blocking
// and without following a link put there meanwhile; at most `limit` bytes.
// A larger file is refused (Other), or with `cut` read as its first `limit` bytes.
KeptBytes readKept(const std::string& path, std::size_t limit, bool cut = false, FileOps& ops = posixFileOps());

struct KeepOptions {
  mode_t newMode = 0644;  // of a new file, under the umask; a replaced one keeps its mode and owner
  bool sync = true;       // flushed to the disk before the rename (caches need not be)
  bool makeFolders = false;
};

// Replaces the file at `path` (no link: follow them first) with what `fill`
// writes to a fresh temporary file ".<name>.XXXXXX" beside it, renamed over
// it once whole. Refused (EINVAL) when something other than a regular file
// lies there. Temporary files of ours left a minute or more by a writer that
// died are removed first. False with errno, the old file untouched, on any
// failure.
bool replaceKept(const std::string& path, const std::function<bool(int fd)>& fill, const KeepOptions& options = {},
                 FileOps& ops = posixFileOps());
bool replaceKept(const std::string& path, std::string_view bytes, const KeepOptions& options = {},
                 FileOps& ops = posixFileOps());

// Removes the temporaries a killed writer left in `dir`: our own plain files
// named `prefix` and six letters or digits, a minute old.
void removeStaleTemps(const std::string& dir, const std::string& prefix);

// Opens a new file ".<base>.XXXXXX" in `dir` that no one else can have made
// or linked; -1 and errno on failure, else the descriptor and its `name`.
int openKeptTemp(FileOps& ops, const std::string& dir, const std::string& base, mode_t mode, std::string& name);

// Writes all of `data` to `fd`, through `ops`; ENOSPC when the disk takes nothing.
bool writeAll(FileOps& ops, int fd, const void* data, std::size_t size);

// Makes `dir` and the folders above it as needed (mode 0755 under the umask,
// or `mode`); true when it is a folder.
bool makeFolders(const std::string& dir, mode_t mode = 0755);

std::string folderOf(const std::string& path);
std::string nameOf(const std::string& path);

}  // namespace qs
