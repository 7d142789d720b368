#pragma once
// What a start keeps to be quicker the next time, one file an entry in
// $XDG_CACHE_HOME/qspe (~/.cache/qspe when it is unset), safe to delete at
// any time. An entry is taken only whole, as this build wrote it under the
// same key: the key says all that the body depends on besides the build
// (the font files' sizes and times, the configuration...), and anything else
// found at the path, a file of an older format too, is read as no entry.
//
// The file: a line "qspe cache 2", the kind, the build and the key's length
// each on a line of their own, the key, then a line with the body's length
// and checksum, then the body.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sdl/build_stamp.h"

namespace qs {

struct CacheEntry {
  std::string kind, build, key, body;
};

// The file's bytes, and back: nullopt unless `bytes` are one entry whole
// with its body's checksum.
std::string composeEntry(const CacheEntry& entry);
std::optional<CacheEntry> parseEntry(std::string_view bytes);

class DiskCache {
 public:
  // The cache file NAME; empty when there is no home to keep it in.
  static std::string pathOf(const std::string& name);

  // Bodies of at most `mostBytes` are read and written.
  DiskCache(std::string path, std::string kind, std::size_t mostBytes, std::string build = programBuild())
      : path_(std::move(path)), kind_(std::move(kind)), build_(std::move(build)), most_(mostBytes) {}

  // The body kept under `key`; nullopt when there is none, when the file is
  // anything but such an entry whole, or not a regular file. Never blocks.
  std::optional<std::string> read(std::string_view key) const;
  // Replaces the file whole or not at all, making its folder as needed; not
  // flushed to the disk (an entry lost in a power cut is made again).
  bool write(std::string_view key, std::string_view body) const;

 private:
  std::string path_, kind_, build_;
  std::size_t most_;
};

}  // namespace qs
