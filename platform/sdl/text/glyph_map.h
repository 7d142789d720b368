#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace qs {

// The symbol face the scenes name ("Wingdings") is drawn with a Unicode
// pictograph font: each character code stands for one pictograph.

// The pictograph for a character code, or the code itself when it has none.
char32_t symbolFor(char c);

// The whole caption as UTF-8 pictographs, one for each character.
std::string symbolText(std::string_view caption);

// Every character code that has a pictograph.
std::vector<char> mappedSymbolCodes();

// The glyph font's pictures lie in its em square above the baseline, which
// is 0.9 em below the line's top: the side of the square a pictograph is
// drawn in, resting on its bottom edge, for a face of `pixels` at scale 1.
int symbolBox(int pixels, int scale);

// Appends one code point as UTF-8.
void appendUtf8(std::string& out, char32_t cp);
// The code point starting at byte i, and its length in bytes.
char32_t decodeUtf8(std::string_view s, std::size_t i, std::size_t& len);

}  // namespace qs
