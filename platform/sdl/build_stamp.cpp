#include "platform/sdl/build_stamp.h"

#include <elf.h>
#include <link.h>
#include <sys/stat.h>

#include <cstring>

namespace qs {
namespace {

// The GNU build id note of the first object listed: the executable itself.
int readBuildId(dl_phdr_info* info, std::size_t, void* out) {
  auto& id = *static_cast<std::string*>(out);
  for (int i = 0; i < info->dlpi_phnum; ++i) {
    const ElfW(Phdr)& ph = info->dlpi_phdr[i];
    if (ph.p_type != PT_NOTE) continue;
    auto at = reinterpret_cast<const unsigned char*>(info->dlpi_addr + ph.p_vaddr);
    const unsigned char* end = at + ph.p_memsz;
    while (at + sizeof(ElfW(Nhdr)) <= end) {
      ElfW(Nhdr) note;
      std::memcpy(&note, at, sizeof note);
      const unsigned char* name = at + sizeof note;
      const unsigned char* desc = name + ((note.n_namesz + 3) & ~3u);
      if (desc + note.n_descsz > end) break;
      if (note.n_type == NT_GNU_BUILD_ID && note.n_namesz == 4 && std::memcmp(name, "GNU", 4) == 0) {
        static const char digits[] = "0123456789abcdef";
        for (std::size_t b = 0; b < note.n_descsz; ++b) id += {digits[desc[b] >> 4], digits[desc[b] & 15]};
        return 1;
      }
      at = desc + ((note.n_descsz + 3) & ~3u);
    }
  }
  return 1;  // the executable only
}

}  // namespace

std::string programBuild() {
  static const std::string build = [] {
    std::string id;
    dl_iterate_phdr(readBuildId, &id);
    if (id.empty()) {
      struct stat st {};
      stat("/proc/self/exe", &st);
      id = std::to_string(st.st_size) + "." + std::to_string(st.st_mtim.tv_sec) + "." +
           std::to_string(st.st_mtim.tv_nsec);
    }
    return std::string(QSPE_VERSION) + " " + id;
  }();
  return build;
}

}  // namespace qs
