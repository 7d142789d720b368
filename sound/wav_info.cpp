#include "sound/wav_info.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "sound/audio_device.h"

namespace qs {
namespace {

std::uint32_t le16(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}

std::uint32_t le32(const unsigned char* p) { return le16(p) | le16(p + 2) << 16; }

constexpr std::uint32_t kFormatPcm = 1;
constexpr std::uint32_t kFormatExtensible = 0xFFFE;

struct Format {
  std::uint32_t rate = 0;
  std::uint32_t channels = 0;
  std::uint32_t blockAlign = 0;  // bytes of one frame, all channels
};

// Whether the output can convert this many frames to its own format. SDL's
// converter does it in one buffer, whose size in bytes is a C int: each frame
// as 32-bit floats in two channels at least, stretched to the output's rate
// (at least once over) and then held twice. Past 2 GB the load fails ("Out of
// memory") and the effect plays nothing: 50 minutes of mono 1000 Hz sound do that.
bool outputConverts(const Format& f, std::uintmax_t frames) {
  const std::uintmax_t stretch = std::max<std::uintmax_t>(1, (kOutputRate + f.rate - 1) / f.rate);
  const std::uintmax_t perFrame = 4 * std::max<std::uintmax_t>(f.channels, 2) * stretch * 2;
  return frames <= static_cast<std::uintmax_t>(INT32_MAX) / perFrame;
}

// The PCM layout of a format chunk, or why it is none the effects can play.
std::string readFormat(const unsigned char* fmt, std::uint32_t size, Format& out) {
  if (size < 16) return "its header is cut short";
  std::uint32_t tag = le16(fmt);
  // The extensible form names its real format in the first two bytes of its sub-format.
  if (tag == kFormatExtensible && size >= 40) tag = le16(fmt + 24);
  if (tag != kFormatPcm) return "it is not a PCM WAV file (format " + std::to_string(tag) + ")";
  std::uint32_t channels = le16(fmt + 2), rate = le32(fmt + 4), bits = le16(fmt + 14);
  if (channels < 1 || channels > 8 || bits < 8 || bits > 32 || bits % 8 != 0)
    return "it has " + std::to_string(channels) + " channels of " + std::to_string(bits) + "-bit samples";
  // A rate this low would stretch a few bytes over hours of silence.
  if (rate < 1000 || rate > 384000) return "its sample rate (" + std::to_string(rate) + " Hz) is out of range";
  out.rate = rate;
  out.channels = channels;
  out.blockAlign = channels * (bits / 8);
  return {};
}

}  // namespace

WavCheck checkWav(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return {0, "the file is missing"};
  const std::uintmax_t fileSize = std::filesystem::file_size(path, ec);
  std::ifstream in(path, std::ios::binary);
  if (ec || !in) return {0, "the file cannot be read"};
  unsigned char riff[12];
  if (!in.read(reinterpret_cast<char*>(riff), 12) || std::memcmp(riff, "RIFF", 4) != 0 ||
      std::memcmp(riff + 8, "WAVE", 4) != 0)
    return {0, "it is not a WAV file"};

  // The chunks, walked by their offsets within the bytes the file has.
  Format format;
  std::uintmax_t pos = 12;
  while (pos + 8 <= fileSize) {
    unsigned char head[8];
    in.seekg(static_cast<std::streamoff>(pos));
    if (!in.read(reinterpret_cast<char*>(head), 8)) break;
    const std::uint32_t size = le32(head + 4);
    const std::uintmax_t body = pos + 8;
    const std::uintmax_t present = std::min<std::uintmax_t>(size, fileSize - body);
    if (std::memcmp(head, "fmt ", 4) == 0) {
      unsigned char fmt[40] = {};
      auto wanted = static_cast<std::uint32_t>(std::min<std::uintmax_t>(present, sizeof fmt));
      if (!in.read(reinterpret_cast<char*>(fmt), wanted)) break;
      std::string why = readFormat(fmt, wanted, format);
      if (!why.empty()) return {0, why};
    } else if (std::memcmp(head, "data", 4) == 0) {
      if (format.rate == 0) return {0, "its sound data comes before its format"};
      // Whole frames only; the rate is the one of the samples, whatever the
      // header's bytes-per-second field says.
      const std::uintmax_t byteRate = std::uintmax_t{format.rate} * format.blockAlign;
      const std::uintmax_t bytes = present / format.blockAlign * format.blockAlign;
      auto ms = static_cast<std::int64_t>((bytes * 1000 + byteRate / 2) / byteRate);
      if (ms == 0) return {0, "it holds no sound"};
      // The hold is the length of what plays: nothing, when the output cannot take it.
      if (!outputConverts(format, bytes / format.blockAlign))
        return {0, "it is too long for the sound output to convert"};
      return {ms, {}};
    }
    pos = body + size + (size & 1);
  }
  return {0, "its header is cut short"};
}

}  // namespace qs
