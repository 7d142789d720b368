#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/sdl/text/font_finder.h"

namespace qs {

// The faces found at the last start, kept in a cache file (disk_cache.h)
// so that the next start need not wait for fontconfig before its first
// frame. A remembered table is taken only when it answers every face asked
// for, the same way, under the same fontconfig configuration (its variables
// and the times its files last changed: the entry's key), and each of its
// font files is still there with the size and time it had.

// The cache file "faces".
std::string faceMemoPath();

// Every font file of the table, with its size and time: another signature,
// another font may draw.
std::string faceFilesSignature(const FaceTable& table);

std::optional<FaceTable> recallFaces(const std::string& file, const std::vector<FaceRequest>& wanted);

// False when the file cannot be written; it is replaced whole or not at all.
bool rememberFaces(const std::string& file, const std::vector<FaceRequest>& wanted, const FaceTable& table);

}  // namespace qs
