#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace qs {

// $XDG_CACHE_HOME/qspe/NAME (~/.cache/qspe/NAME when it is unset): what a
// start keeps to be quicker the next time, safe to delete at any time.
// Empty when there is no home to keep it in.
std::string cacheFilePath(const std::string& name);

// Replaces `path` with `bytes` whole or not at all, making its folder as
// needed; never through anything but a regular file. Not flushed to the
// disk: a cache lost in a power cut is made again.
bool replaceFile(const std::string& path, std::string_view bytes);

// The bytes of the cache file at `path` when it is a regular file of at most
// `limit` bytes; empty otherwise. Never blocks.
std::string readCacheFile(const std::string& path, std::size_t limit);

}  // namespace qs
