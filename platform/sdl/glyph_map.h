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

// Appends one code point as UTF-8.
void appendUtf8(std::string& out, char32_t cp);

}  // namespace qs
