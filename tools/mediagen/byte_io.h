// Little helpers for appending fixed-width integers to a byte buffer.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace qs::mediagen {

using Bytes = std::vector<std::uint8_t>;

inline void putU16le(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFFu));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFFu));
}

inline void putU32le(Bytes& out, std::uint32_t v) {
  putU16le(out, v & 0xFFFFu);
  putU16le(out, v >> 16);
}

inline void putU16be(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFFu));
  out.push_back(static_cast<std::uint8_t>(v & 0xFFu));
}

inline void putU32be(Bytes& out, std::uint32_t v) {
  putU16be(out, v >> 16);
  putU16be(out, v & 0xFFFFu);
}

inline void putTag(Bytes& out, std::string_view tag) {
  for (char c : tag) out.push_back(static_cast<std::uint8_t>(c));
}

}  // namespace qs::mediagen
