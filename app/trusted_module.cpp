#include "app/trusted_module.h"

#include <elf.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace qs {
namespace {

namespace fs = std::filesystem;

// Why code held by what `st` describes may not be trusted, or empty.
std::string untrusted(const std::string& what, const struct stat& st) {
  if (st.st_uid != geteuid() && st.st_uid != 0) return what + " is owned by another user";
  if (st.st_mode & (S_IWGRP | S_IWOTH)) return what + " can be written by others";
  return {};
}

// Why loading the module would read past its `size` bytes (a cut-short
// install: the loader's mapping of a missing page kills the program with
// SIGBUS), or empty. Its ELF header and program headers are read here, bounded.
std::string cutShort(int fd, off_t size) {
  using Header = ElfW(Ehdr);
  using Segment = ElfW(Phdr);
  const auto end = static_cast<std::uint64_t>(size);
  Header h;
  if (pread(fd, &h, sizeof h, 0) != static_cast<ssize_t>(sizeof h) || std::memcmp(h.e_ident, ELFMAG, SELFMAG) != 0 ||
      h.e_ident[EI_CLASS] != (__ELF_NATIVE_CLASS == 64 ? ELFCLASS64 : ELFCLASS32) || h.e_phentsize != sizeof(Segment) ||
      h.e_phnum == 0)
    return "it is not a module of this machine";
  const std::uint64_t headersSize = std::uint64_t{h.e_phnum} * sizeof(Segment);
  if (h.e_phoff > end || headersSize > end - h.e_phoff) return "it is cut short";
  std::vector<Segment> segments(h.e_phnum);  // at most 65535 of 56 bytes
  if (pread(fd, segments.data(), headersSize, static_cast<off_t>(h.e_phoff)) != static_cast<ssize_t>(headersSize))
    return "it is cut short";
  for (const Segment& s : segments)
    if (s.p_type == PT_LOAD && (s.p_offset > end || s.p_filesz > end - s.p_offset)) return "it is cut short";
  return {};
}

}  // namespace

ModuleFile openTrustedModule(const fs::path& folder, const fs::path& down, const std::string& name) {
  ModuleFile m;
  // Each folder is checked on its descriptor and the next is opened from it,
  // so none can be swapped for another between the check and the use.
  fs::path path = folder;
  int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  auto step = down.begin();
  for (;;) {
    struct stat st {};
    if (dir < 0 || fstat(dir, &st) != 0) {
      m.found = errno != ENOENT;
      m.why = path.string() + ": " + std::strerror(errno);
      if (dir >= 0) close(dir);
      return m;
    }
    if (m.why = untrusted(path.string(), st); !m.why.empty()) {
      m.found = true;
      close(dir);
      return m;
    }
    while (step != down.end() && step->empty()) ++step;
    if (step == down.end()) break;
    path /= *step;
    const int next = openat(dir, (step++)->c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const int error = errno;
    close(dir);
    dir = next;
    errno = error;
  }
  // Never a link, and never waiting on a FIFO or a device: what is opened
  // is looked at before anything is read from it.
  const int fd = openat(dir, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
  const int error = errno;
  close(dir);
  m.found = fd >= 0 || error != ENOENT;
  if (fd < 0) {
    m.why = error == ELOOP ? "it is a symbolic link" : std::strerror(error);
    return m;
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) m.why = "it is not a regular file";
  else if (m.why = untrusted("it", st); m.why.empty()) m.why = cutShort(fd, st.st_size);
  if (m.why.empty()) m.fd = fd;
  else close(fd);
  return m;
}

}  // namespace qs
