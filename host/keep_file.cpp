#include "host/keep_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <ctime>
#include <random>

namespace qs {
namespace {

// A temporary file of ours this old belongs to a writer that died: a write
// takes milliseconds.
constexpr std::time_t kStaleSeconds = 60;
constexpr std::size_t kTempSuffix = 6;
constexpr int kMostLinks = 40;  // as the kernel's MAXSYMLINKS

bool isTempName(const std::string& name, const std::string& prefix) {
  if (name.size() != prefix.size() + kTempSuffix || name.compare(0, prefix.size(), prefix) != 0) return false;
  for (std::size_t i = prefix.size(); i < name.size(); ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

}  // namespace

void removeStaleTemps(const std::string& dir, const std::string& prefix) {
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  const std::time_t now = std::time(nullptr);
  while (dirent* e = readdir(d)) {
    if (!isTempName(e->d_name, prefix)) continue;
    struct stat st;
    // Only our own plain files, looked at and removed without following a link.
    if (fstatat(dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (!S_ISREG(st.st_mode) || st.st_uid != geteuid() || now - st.st_mtime < kStaleSeconds) continue;
    unlinkat(dirfd(d), e->d_name, 0);
  }
  closedir(d);
}

// A new file under a name no one else holds: never an existing file, pipe or link.
int openKeptTemp(FileOps& ops, const std::string& dir, const std::string& base, mode_t mode, std::string& name) {
  static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix(kTempSuffix, ' ');
    for (char& c : suffix) c = letters[random() % (sizeof letters - 1)];
    name = dir + "/." + base + "." + suffix;
    const int fd = ops.open(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

namespace {

// So that the rename itself survives a power cut; the new file is whole either way.
void syncFolder(const std::string& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

}  // namespace

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

KeptKind keptKindAt(const std::string& path, struct stat* out) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return errno == ENOENT ? KeptKind::Missing : KeptKind::Other;
  if (out) *out = st;
  return S_ISREG(st.st_mode) ? KeptKind::File : KeptKind::Other;
}

std::optional<std::string> followKeptLinks(const std::string& start) {
  std::string path = start;
  for (int hops = 0; hops <= kMostLinks; ++hops) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    if (hops == kMostLinks) break;
    struct stat dir;
    if (stat(folderOf(path).c_str(), &dir) != 0) return std::nullopt;
    // As the kernel's protected_symlinks: another user's link in a shared sticky
    // folder may lead anywhere that user chose, the player's own files included.
    const bool shared = (dir.st_mode & S_ISVTX) && (dir.st_mode & S_IWOTH);
    if (shared && st.st_uid != geteuid() && st.st_uid != dir.st_uid) {
      errno = EACCES;
      return std::nullopt;
    }
    std::string target(PATH_MAX, '\0');
    const ssize_t n = readlink(path.c_str(), target.data(), target.size());
    if (n <= 0) return std::nullopt;
    if (static_cast<std::size_t>(n) == target.size()) {
      errno = ENAMETOOLONG;
      return std::nullopt;
    }
    target.resize(static_cast<std::size_t>(n));
    path = target[0] == '/' ? target : folderOf(path) + "/" + target;
  }
  errno = ELOOP;
  return std::nullopt;
}

KeptBytes readKept(const std::string& path, std::size_t limit, bool cut, FileOps& ops) {
  KeptBytes out;
  const auto end = followKeptLinks(path);
  if (!end) return {KeptKind::Other, {}};
  // O_NONBLOCK: a pipe put at the path cannot stall the open; O_NOFOLLOW: nor
  // can a link put there since the chain was followed.
  const int fd = ops.open(*end, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_NOFOLLOW | O_CLOEXEC, 0);
  if (fd < 0) return {errno == ENOENT ? KeptKind::Missing : KeptKind::Other, {}};
  struct stat st;
  out.kind = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? KeptKind::File : KeptKind::Other;
  if (out.kind == KeptKind::File && !cut && static_cast<std::uintmax_t>(st.st_size) > limit) out.kind = KeptKind::Other;
  // Read to the limit, and one byte past it: a file that grew is seen too.
  const std::size_t most = cut ? limit : limit + 1;
  // Grown once, not read by read into fresh pages (a first frame is some 300 kB).
  if (out.kind == KeptKind::File)
    out.bytes.reserve(std::min<std::uintmax_t>(static_cast<std::uintmax_t>(st.st_size) + 1, most));
  while (out.kind == KeptKind::File && out.bytes.size() < most) {
    char buf[8192];
    const ssize_t got = ::read(fd, buf, std::min(sizeof buf, most - out.bytes.size()));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) out.kind = KeptKind::Other;
    if (got <= 0) break;
    out.bytes.append(buf, static_cast<std::size_t>(got));
  }
  if (out.bytes.size() > limit) out.kind = KeptKind::Other;
  if (out.kind != KeptKind::File) out.bytes.clear();
  ops.close(fd);
  return out;
}

bool writeAll(FileOps& ops, int fd, const void* data, std::size_t size) {
  auto at = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t put = ops.write(fd, at, size);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return false;
    if (put == 0) {
      errno = ENOSPC;
      return false;
    }
    at += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

bool makeFolders(const std::string& dir, mode_t mode) {
  if (dir.empty()) return false;
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  const std::string up = folderOf(dir);
  if (up != dir && !makeFolders(up, 0755)) return false;
  return mkdir(dir.c_str(), mode) == 0 || errno == EEXIST;
}

bool replaceKept(const std::string& path, const std::function<bool(int fd)>& fill, const KeepOptions& options,
                 FileOps& ops) {
  const std::string dir = folderOf(path), base = nameOf(path);
  if (options.makeFolders && !makeFolders(dir)) return false;
  struct stat st;
  const KeptKind kind = keptKindAt(path, &st);
  if (kind == KeptKind::Other) {
    errno = EINVAL;  // a device, pipe, socket, folder or link is never replaced
    return false;
  }
  removeStaleTemps(dir, "." + base + ".");
  const bool existed = kind == KeptKind::File;
  std::string tmp;
  const int fd = openKeptTemp(ops, dir, base, existed ? 0600 : options.newMode, tmp);
  if (fd < 0) return false;
  bool ok = true;
  int error = 0;
  auto check = [&](bool done) {
    if (ok && !done) {
      ok = false;
      error = errno;
    }
  };
  if (existed) {
    // The owner too, as far as we may (root writing a player's file).
    if (st.st_uid != geteuid() || st.st_gid != getegid()) (void)!fchown(fd, st.st_uid, st.st_gid);
    check(fchmod(fd, st.st_mode & 07777) == 0);
  }
  if (ok) check(fill(fd));
  if (ok && options.sync) check(ops.fsync(fd) == 0);
  check(ops.close(fd) == 0);
  if (ok) check(ops.rename(tmp, path) == 0);
  if (!ok) unlink(tmp.c_str());
  if (ok && options.sync) syncFolder(dir);
  errno = error;
  return ok;
}

bool replaceKept(const std::string& path, std::string_view bytes, const KeepOptions& options, FileOps& ops) {
  return replaceKept(
      path, [&](int fd) { return writeAll(ops, fd, bytes.data(), bytes.size()); }, options, ops);
}

}  // namespace qs
