#include "sound/wav_info.h"

#include <cstring>
#include <fstream>

namespace qs {
namespace {
std::uint32_t le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
}  // namespace

std::int64_t wavLengthMs(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  unsigned char riff[12];
  if (!in.read(reinterpret_cast<char*>(riff), 12) || std::memcmp(riff, "RIFF", 4) != 0 ||
      std::memcmp(riff + 8, "WAVE", 4) != 0)
    return 0;
  std::uint32_t byteRate = 0;
  for (;;) {
    unsigned char head[8];
    if (!in.read(reinterpret_cast<char*>(head), 8)) return 0;
    std::uint32_t size = le32(head + 4);
    if (std::memcmp(head, "fmt ", 4) == 0) {
      unsigned char fmt[16];
      if (size < 16 || !in.read(reinterpret_cast<char*>(fmt), 16)) return 0;
      byteRate = le32(fmt + 8);
      in.seekg(size - 16 + (size & 1), std::ios::cur);
    } else if (std::memcmp(head, "data", 4) == 0) {
      if (byteRate == 0) return 0;
      return (static_cast<std::int64_t>(size) * 1000 + byteRate / 2) / byteRate;
    } else {
      in.seekg(size + (size & 1), std::ios::cur);
    }
    if (!in) return 0;
  }
}

}  // namespace qs
