#include "platform/sdl/disk_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <functional>
#include <utility>

#include "host/keep_file.h"
#include "host/program_dirs.h"

namespace qs {
namespace {

constexpr std::string_view kFormat = "qspe cache 2\n";

}  // namespace

std::string composeEntry(const CacheEntry& e) {
  // The C++ library's hash of the bytes: another library gives another sum, and a miss.
  const std::string sum = std::to_string(std::hash<std::string_view>{}(e.body));
  std::string out(kFormat);
  out.append(e.kind).append("\n").append(e.build).append("\n").append(std::to_string(e.key.size())).append("\n");
  out.append(e.key).append("\n").append(std::to_string(e.body.size())).append(" ").append(sum).append("\n");
  return out.append(e.body);
}

std::optional<CacheEntry> parseEntry(std::string_view bytes) {
  if (!bytes.starts_with(kFormat)) return std::nullopt;
  std::size_t at = kFormat.size();
  auto line = [&]() -> std::optional<std::string_view> {
    const std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) return std::nullopt;
    const std::size_t from = std::exchange(at, end + 1);
    return bytes.substr(from, end - from);
  };
  CacheEntry e;
  const auto kind = line(), build = line(), length = line();  // the last there only after the others
  std::size_t n = 0;
  if (!length || std::from_chars(length->data(), length->data() + length->size(), n).ec != std::errc() ||
      n > bytes.size() - at)
    return std::nullopt;
  e.kind = *kind, e.build = *build, e.key = bytes.substr(at, n);
  at += n;
  if (!line() || !line()) return std::nullopt;  // the key's end, and the body's length and checksum
  e.body = bytes.substr(at);
  // Every field as this build writes it: the body's length and checksum too.
  if (composeEntry(e) != bytes) return std::nullopt;
  return e;
}

std::string DiskCache::pathOf(const std::string& name) {
  const std::string folder = userFolder("XDG_CACHE_HOME", ".cache");
  return folder.empty() ? folder : folder + "/" + name;
}

std::optional<std::string> DiskCache::read(std::string_view key) const {
  if (path_.empty()) return std::nullopt;
  // Fault mended: a pipe, device or huge file at a cache's path blocked the start or filled the memory.
  const std::size_t most = kFormat.size() + kind_.size() + build_.size() + key.size() + most_ + 64;
  std::optional<CacheEntry> e = parseEntry(readKept(path_, most).bytes);
  if (!e || e->kind != kind_ || e->build != build_ || e->key != key) return std::nullopt;
  return std::move(e->body);
}

bool DiskCache::write(std::string_view key, std::string_view body) const {
  if (path_.empty() || body.size() > most_) return false;
  // Fault mended: temporaries of writers killed before their rename were never removed.
  // Earlier versions wrote through "NAME.XXXXXX" (mkstemp) and left it
  // behind when killed before the rename.
  removeStaleTemps(folderOf(path_), nameOf(path_) + ".");
  return replaceKept(path_, composeEntry({kind_, build_, std::string(key), std::string(body)}),
                     KeepOptions{0600, false, true});
}

}  // namespace qs
