#pragma once
#include <string>
#include <string_view>

namespace qs {

// $XDG_CACHE_HOME/qspe/NAME (~/.cache/qspe/NAME when it is unset): what a
// start keeps to be quicker the next time, safe to delete at any time.
// Empty when there is no home to keep it in.
std::string cacheFilePath(const std::string& name);

// Replaces `path` with `bytes` whole or not at all, making its folder as needed.
bool replaceFile(const std::string& path, std::string_view bytes);

}  // namespace qs
